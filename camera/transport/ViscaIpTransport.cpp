#include "camera/transport/ViscaIpTransport.h"

#include "camera/transport/SocketTransport.h"
#include "camera/transport/ViscaIpPacket.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ViscaIpTransport::ViscaIpTransport(std::string host, int port)
    : m_host(std::move(host)), m_port(port)
{
}

bool ViscaIpTransport::Open(int timeoutMs)
{
    Close();
    m_fd = ConnectSocket(m_host, m_port, SOCK_DGRAM, timeoutMs, m_error);
    if (m_fd < 0)
        return false;
    m_sequence = 0;
    m_resetAcked = false;
    const std::uint8_t reset = visca_ip::kReset;
    m_last = visca_ip::Encode(visca_ip::kControl, m_sequence, {&reset, 1});
    // RESET; the reader is not running yet, so wait here. Sent once: a camera that does
    // not answer it is asked its version next, with a resend, and a camera that is not
    // there keeps the caller waiting no longer than that.
    for (int attempt = 0; attempt < 1 && !m_resetAcked; ++attempt) {
        if (!SendDatagram(m_last))
            break;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!m_resetAcked) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()).count();
            pollfd p{m_fd, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) != 1)
                break;
            if (!Receive([](const visca::Frame&) {})) {
                m_error = m_host + ":" + std::to_string(m_port) + ": connection refused";
                Close();
                return false;
            }
        }
    }
    return true;
}

void ViscaIpTransport::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool ViscaIpTransport::SendDatagram(const std::vector<std::uint8_t>& d)
{
    return m_fd >= 0 && ::send(m_fd, d.data(), d.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(d.size());
}

bool ViscaIpTransport::Send(const visca::Frame& frame, int)
{
    if (frame.empty() || frame.size() > visca_ip::kMaxPayloadLength)
        return false;
    const bool inquiry = frame.size() > 1 && frame[1] == 0x09;
    ++m_sequence;
    m_last = visca_ip::Encode(inquiry ? visca_ip::kInquiry : visca_ip::kCommand, m_sequence, frame);
    return SendDatagram(m_last);
}

bool ViscaIpTransport::Resend(int)
{
    return !m_last.empty() && SendDatagram(m_last);
}

bool ViscaIpTransport::Receive(const FrameSink& sink)
{
    std::uint8_t buf[1500];
    const ssize_t got = ::recv(m_fd, buf, sizeof buf, 0);
    if (got < 0)
        return errno == EAGAIN || errno == EINTR;  // else refused: nobody listens there
    const auto packet = visca_ip::Decode({buf, static_cast<size_t>(got)});
    if (!packet || packet->sequence != m_sequence)
        return true;  // damaged, or an answer to an earlier message: not ours to take
    if (packet->type == visca_ip::kControlReply) {
        if (packet->payload.size() == 1 && packet->payload[0] == visca_ip::kControlAck)
            m_resetAcked = true;
    } else if (packet->type == visca_ip::kReply) {
        m_splitter.Reset();
        m_splitter.Feed(packet->payload, sink);
    }
    return true;
}
