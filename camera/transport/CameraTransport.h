#pragma once
// How frames reach the camera and come back: the seam under the camera link. A serial
// port (the QVT-VZ1's or a VISCA camera's), a TCP stream, plain UDP datagrams, or VISCA
// over IP (UDP with a header and sequence numbers). The link polls Fd() and calls
// Receive() when it is readable; one request is on the wire at a time.
#include "camera/ViscaFrame.h"

#include <functional>
#include <memory>
#include <string>

struct CameraConnection;

class CameraTransport
{
public:
    using FrameSink = std::function<void(const visca::Frame&)>;

    virtual ~CameraTransport() = default;

    // Opens the port or connects, waiting at most timeoutMs. False with Error() set.
    virtual bool Open(int timeoutMs) = 0;
    virtual void Close() = 0;
    // Readable when something arrived; -1 while closed.
    virtual int Fd() const = 0;
    // Sends one frame.
    virtual bool Send(const visca::Frame& frame, int timeoutMs) = 0;
    // Takes what arrived and hands each frame for the controller to sink. False when the
    // connection is gone (hang-up, end of stream, refused): the link is lost.
    virtual bool Receive(const FrameSink& sink) = 0;
    // Sends the last message again after a time-out; false for transports that do not
    // (a stream or a serial line loses nothing that a repeat would bring back).
    virtual bool Resend(int timeoutMs) { (void)timeoutMs; return false; }
    // Why the last Open or Send failed, for the user.
    const std::string& Error() const { return m_error; }

protected:
    std::string m_error;
};

// The transport for a connection; port is the serial path found for it (Usb, Serial).
std::unique_ptr<CameraTransport> MakeTransport(const CameraConnection& connection, const std::string& port);
