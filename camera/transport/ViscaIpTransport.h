#pragma once
// VISCA over IP: UDP datagrams with an 8-byte header. Every message carries the next
// sequence number; the camera's replies carry the number of the message they answer, and
// only replies to the message on the wire are taken. At open the control command RESET
// clears the camera's counter (sent once). After a time-out the same message goes once more with the
// same number.
//
// The camera's delivery errors: "sequence number" (the resend of a message it carried out
// whose reply was lost, or a count out of step) before any reply to the message makes the
// transport RESET the count and send the message once more as number 1; any other, or a
// second one, ends the request at once as a VISCA error reply instead of its time-out.
#include "camera/ViscaFrameSplitter.h"
#include "camera/ViscaReply.h"
#include "camera/transport/CameraTransport.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class ViscaIpTransport : public CameraTransport
{
public:
    ViscaIpTransport(std::string host, int port);
    ~ViscaIpTransport() override { Close(); }

    // Connects, then RESET (answered or not: a camera that ignores it is judged by the
    // inquiry that follows).
    bool Open(int timeoutMs) override;
    void Close() override;
    int Fd() const override { return m_fd; }
    bool Send(const visca::Frame& frame, int timeoutMs) override;
    bool Receive(const FrameSink& sink) override;
    bool Resend(int timeoutMs) override;

    std::uint32_t Sequence() const { return m_sequence; }
    bool ResetAcknowledged() const { return m_resetAcked; }

private:
    bool SendDatagram(const std::vector<std::uint8_t>& datagram);
    void OnDeliveryError(std::uint8_t code, const FrameSink& sink);

    std::string m_host;
    int m_port;
    int m_fd = -1;
    std::atomic<std::uint32_t> m_sequence{0};  // of the last message sent (read by the reader)
    std::mutex m_sendMutex;  // m_last and the numbering: the reader renumbers, the writer sends
    std::vector<std::uint8_t> m_last;
    visca::Frame m_frame;    // the message on the wire
    bool m_replied = false;  // something came back for it
    bool m_renumbered = false;
    bool m_resetAcked = false;
    visca::FrameSplitter m_splitter{visca::kMaxReplyLength};
};
