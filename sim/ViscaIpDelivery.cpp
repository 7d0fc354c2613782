#include "sim/ViscaIpDelivery.h"

#include "camera/transport/ViscaIpPacket.h"

#include <algorithm>

namespace {

// Whether a VISCA payload is of the kind its payload type says. An inquiry sent as a
// command is taken: a public client sends every message so, and the cameras it is used
// with answer them.
bool Fits(std::uint16_t type, const std::vector<std::uint8_t>& f)
{
    if (f.size() < 3)
        return false;
    const bool toCamera = (f[0] & 0xF8) == 0x80 && f[0] != 0x80;  // 81..87
    switch (type) {
    case visca_ip::kCommand: return toCamera && (f[1] == 0x01 || f[1] == 0x09 || (f[1] & 0xF0) == 0x20);
    case visca_ip::kInquiry: return toCamera && f[1] == 0x09;
    case visca_ip::kDeviceSetting: return f[0] == 0x88;
    default: return false;
    }
}

} // namespace

ViscaIpDelivery::Sender& ViscaIpDelivery::Of(const std::string& sender)
{
    if (!m_senders.count(sender) && m_senders.size() >= kMaxSenders)
        m_senders.erase(std::min_element(m_senders.begin(), m_senders.end(), [](const auto& a, const auto& b) {
            return a.second.seen < b.second.seen;
        }));
    Sender& s = m_senders[sender];
    s.seen = ++m_clock;
    return s;
}

ViscaIpDelivery::Verdict ViscaIpDelivery::Take(const std::string& sender, std::span<const std::uint8_t> d)
{
    Verdict v;
    if (d.size() < visca_ip::kHeaderLength)
        return v;  // not even a number to answer to
    v.sequence = (std::uint32_t(d[4]) << 24) | (std::uint32_t(d[5]) << 16) | (std::uint32_t(d[6]) << 8) | d[7];
    const auto packet = visca_ip::Decode(d);
    if (!packet) {
        v.kind = Verdict::Kind::Error;
        v.error = visca_ip::kErrorMessage;
        return v;
    }
    Sender& s = Of(sender);
    if (packet->type == visca_ip::kControl && packet->payload == std::vector<std::uint8_t>{visca_ip::kReset}) {
        s.counting = false;
        v.kind = Verdict::Kind::Reset;
        return v;
    }
    if (!Fits(packet->type, packet->payload)) {
        v.kind = Verdict::Kind::Error;
        v.error = visca_ip::kErrorMessage;
        return v;
    }
    // Numbers go up and wrap to 0 after FFFFFFFF: "after" is the next half of the circle.
    const std::uint32_t ahead = packet->sequence - s.last;
    if (s.counting && (ahead == 0 || ahead >= 0x80000000u)) {
        v.kind = Verdict::Kind::Error;
        v.error = visca_ip::kErrorSequence;
        return v;
    }
    s.counting = true;
    s.last = packet->sequence;
    v.kind = Verdict::Kind::Execute;
    v.frames = packet->payload;
    return v;
}
