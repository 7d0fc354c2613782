#pragma once
// VISCA frames over the network without a header: a TCP stream (cut into frames as a
// serial line is) or UDP datagrams (each holding whole frames). The socket is connected,
// so the kernel passes on only what comes from the camera's address.
#include "camera/ViscaFrameSplitter.h"
#include "camera/ViscaReply.h"
#include "camera/transport/CameraTransport.h"

// Resolves host and connects a socket of type (SOCK_STREAM or SOCK_DGRAM), waiting at most
// timeoutMs for a stream to connect. The descriptor (non-blocking), or -1 with error set.
int ConnectSocket(const std::string& host, int port, int type, int timeoutMs, std::string& error);

class SocketTransport : public CameraTransport
{
public:
    enum class Mode { Tcp, Udp };
    SocketTransport(Mode mode, std::string host, int port);
    ~SocketTransport() override { Close(); }

    bool Open(int timeoutMs) override;
    void Close() override;
    int Fd() const override { return m_fd; }
    bool Send(const visca::Frame& frame, int timeoutMs) override;
    bool Receive(const FrameSink& sink) override;

private:
    Mode m_mode;
    std::string m_host;
    int m_port;
    int m_fd = -1;
    visca::FrameSplitter m_splitter{visca::kMaxReplyLength};
};
