#pragma once
// What a frame from the camera means to the controller.
#include "camera/ViscaFrame.h"

namespace visca {

struct Reply
{
    enum class Kind {
        Unknown,          // not a frame this controller understands: skipped
        Ack,              // 90 4y FF
        Completion,       // 90 5y FF (y >= 1)
        InquiryData,      // 90 50 <payload> FF
        Error,            // 90 6y ee FF
        StandReport,      // 90 07 7E 01 20 0p FF
        AddressSetDone,   // 88 30 0n FF
        InterfaceCleared, // 88 01 00 01 FF
    };
    Kind kind = Kind::Unknown;
    int socket = 0;
    int errorCode = 0;
    int stand = -1;
    std::vector<std::uint8_t> payload;
};

Reply ClassifyReply(const Frame& frame);

// The pan-tilt position inquiry's answer (90 50 pan tilt FF): panNibbles (4 or 5) pan
// nibbles and 4 tilt nibbles, both signed. Nothing when the payload has another length or
// a byte is not a nibble: a camera of the other form is not read wrongly.
struct PanTiltPosition
{
    int pan = 0, tilt = 0;
};
std::optional<PanTiltPosition> ReadPanTiltPosition(std::span<const std::uint8_t> payload, int panNibbles);

// Longest reply frame the controller accepts; anything longer is noise.
constexpr std::size_t kMaxReplyLength = 16;

} // namespace visca
