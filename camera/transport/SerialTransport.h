#pragma once
// A serial line: the QVT-VZ1's port, a VISCA camera's RS-232/RS-422 adapter, or the
// virtual camera's pseudo-terminal.
#include "camera/ViscaFrameSplitter.h"
#include "camera/ViscaReply.h"
#include "camera/transport/CameraTransport.h"

class SerialTransport : public CameraTransport
{
public:
    SerialTransport(std::string path, int baud);
    ~SerialTransport() override { Close(); }

    bool Open(int timeoutMs) override;
    void Close() override;
    int Fd() const override { return m_fd; }
    bool Send(const visca::Frame& frame, int timeoutMs) override;
    bool Receive(const FrameSink& sink) override;

private:
    std::string m_path;
    int m_baud;
    int m_fd = -1;
    visca::FrameSplitter m_splitter{visca::kMaxReplyLength};
};
