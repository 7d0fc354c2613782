#pragma once
// Cuts a byte stream into VISCA frames: a frame starts with a header byte (0x80..0xFE)
// and ends with 0xFF. Bytes outside a frame are skipped; a header byte inside a frame
// starts a new one (this protocol's frames carry only bytes below 0x80 after the header);
// a frame that grows past the longest one expected is dropped up to its terminator or the
// next header. So noise or a lost terminator costs at most the frame it hit.
#include "camera/ViscaFrame.h"

#include <cstddef>
#include <functional>

namespace visca {

class FrameSplitter
{
public:
    explicit FrameSplitter(std::size_t maxLength);

    // Calls onFrame for every complete frame in bytes (frames may span calls).
    void Feed(std::span<const std::uint8_t> bytes, const std::function<void(const Frame&)>& onFrame);
    void Reset();

    // Bytes skipped or dropped so far (noise, overlong frames).
    std::size_t DroppedBytes() const { return m_dropped; }

private:
    std::size_t m_maxLength;
    Frame m_frame;
    bool m_inFrame = false;
    bool m_discarding = false;
    std::size_t m_dropped = 0;
};

} // namespace visca
