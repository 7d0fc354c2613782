#pragma once
// VISCA over IP: every datagram carries an 8-byte header in front of its payload
// (big-endian): payload type (2 bytes), payload length (2), sequence number (4). Shared by
// the camera library and the virtual camera.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace visca_ip {

enum PayloadType : std::uint16_t {
    kCommand = 0x0100,        // a VISCA command frame
    kInquiry = 0x0110,        // a VISCA inquiry frame
    kReply = 0x0111,          // the camera's ACK, completion, error or inquiry answer
    kDeviceSetting = 0x0120,  // a VISCA device setting command
    kControl = 0x0200,        // control command: RESET (01) or ERROR (0F yy)
    kControlReply = 0x0201,   // control reply: ACK (01)
};

constexpr std::uint8_t kReset = 0x01;
constexpr std::uint8_t kControlAck = 0x01;
// ERROR (a control command from the camera): 0F yy, carrying the refused message's number.
constexpr std::uint8_t kError = 0x0F;
constexpr std::uint8_t kErrorSequence = 0x01;  // a number already carried out, or out of order
constexpr std::uint8_t kErrorMessage = 0x02;   // a type that does not fit the message, or a bad length
constexpr std::size_t kHeaderLength = 8;
constexpr std::size_t kMaxPayloadLength = 16;  // the longest VISCA message over IP

struct Packet
{
    std::uint16_t type = 0;
    std::uint32_t sequence = 0;
    std::vector<std::uint8_t> payload;
};

std::vector<std::uint8_t> Encode(std::uint16_t type, std::uint32_t sequence, std::span<const std::uint8_t> payload);
// Nothing when the datagram is shorter than its header says, or longer, or the length is
// 0 or above 16.
std::optional<Packet> Decode(std::span<const std::uint8_t> datagram);

} // namespace visca_ip
