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

namespace {

std::uint16_t TypeOf(const visca::Frame& frame)
{
    return frame.size() > 1 && frame[1] == 0x09 ? visca_ip::kInquiry : visca_ip::kCommand;
}

} // namespace

bool ViscaIpTransport::Send(const visca::Frame& frame, int)
{
    if (frame.empty() || frame.size() > visca_ip::kMaxPayloadLength)
        return false;
    std::lock_guard lock(m_sendMutex);
    m_frame = frame;
    m_replied = m_renumbered = false;
    ++m_sequence;
    m_last = visca_ip::Encode(TypeOf(frame), m_sequence, frame);
    return SendDatagram(m_last);
}

bool ViscaIpTransport::Resend(int)
{
    std::lock_guard lock(m_sendMutex);
    return !m_last.empty() && SendDatagram(m_last);
}

void ViscaIpTransport::OnDeliveryError(std::uint8_t code, const FrameSink& sink)
{
    visca::Frame error;
    {
        std::lock_guard lock(m_sendMutex);
        // After a reply the error answers a resend that was not needed: the request has its answer.
        if (m_replied || m_frame.empty())
            return;
        if (code == visca_ip::kErrorSequence && !m_renumbered) {
            // The frames this controller sends are absolute (a position, a drive, a recall),
            // so one carried out twice does no harm, and an inquiry needs its answer.
            m_renumbered = true;
            const std::uint8_t reset = visca_ip::kReset;
            SendDatagram(visca_ip::Encode(visca_ip::kControl, 0, {&reset, 1}));
            m_sequence = 1;
            m_last = visca_ip::Encode(TypeOf(m_frame), m_sequence, m_frame);
            SendDatagram(m_last);
            return;
        }
        // Nothing a resend mends: the camera's error in the form the link knows, from the
        // address the message went to.
        const auto from = static_cast<std::uint8_t>(((m_frame[0] & 0x07) + 8) << 4);
        error = {from, 0x60, code == visca_ip::kErrorSequence ? visca::kErrorNotExecutable : visca::kErrorSyntax,
                 visca::kTerminator};
    }
    sink(error);
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
    } else if (packet->type == visca_ip::kControl) {
        if (packet->payload.size() == 2 && packet->payload[0] == visca_ip::kError)
            OnDeliveryError(packet->payload[1], sink);
    } else if (packet->type == visca_ip::kReply) {
        {
            std::lock_guard lock(m_sendMutex);
            m_replied = true;
        }
        m_splitter.Reset();
        m_splitter.Feed(packet->payload, sink);
    }
    return true;
}
