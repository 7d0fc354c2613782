#include "camera/transport/ViscaIpPacket.h"

namespace visca_ip {

std::vector<std::uint8_t> Encode(std::uint16_t type, std::uint32_t sequence, std::span<const std::uint8_t> payload)
{
    const auto length = static_cast<std::uint16_t>(payload.size());
    std::vector<std::uint8_t> out(kHeaderLength + payload.size());
    const std::uint32_t t = type, n = length;
    const std::uint32_t header[] = {t >> 8, t, n >> 8, n, sequence >> 24, sequence >> 16,
                                    sequence >> 8, sequence};
    for (std::size_t i = 0; i < kHeaderLength; ++i)
        out[i] = static_cast<std::uint8_t>(header[i]);
    for (std::size_t i = 0; i < payload.size(); ++i)
        out[kHeaderLength + i] = payload[i];
    return out;
}

std::optional<Packet> Decode(std::span<const std::uint8_t> d)
{
    if (d.size() < kHeaderLength)
        return std::nullopt;
    const std::size_t length = (std::size_t(d[2]) << 8) | d[3];
    if (length == 0 || length > kMaxPayloadLength || d.size() != kHeaderLength + length)
        return std::nullopt;
    Packet p;
    p.type = static_cast<std::uint16_t>((d[0] << 8) | d[1]);
    p.sequence = (std::uint32_t(d[4]) << 24) | (std::uint32_t(d[5]) << 16) | (std::uint32_t(d[6]) << 8) | d[7];
    p.payload.assign(d.begin() + kHeaderLength, d.end());
    return p;
}

} // namespace visca_ip
