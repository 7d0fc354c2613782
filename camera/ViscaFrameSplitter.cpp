#include "camera/ViscaFrameSplitter.h"

namespace visca {

FrameSplitter::FrameSplitter(std::size_t maxLength)
    : m_maxLength(maxLength < 3 ? 3 : maxLength)
{
    m_frame.reserve(m_maxLength);
}

void FrameSplitter::Reset()
{
    m_frame.clear();
    m_inFrame = false;
    m_discarding = false;
}

void FrameSplitter::Feed(std::span<const std::uint8_t> bytes, const std::function<void(const Frame&)>& onFrame)
{
    for (std::uint8_t byte : bytes) {
        const bool header = byte >= 0x80 && byte != kTerminator;
        if (header) {
            // No frame of this protocol carries a byte of 0x80 or more after its header,
            // so a header byte always starts a new frame: a truncated frame before it is
            // dropped and never swallows the good frame that follows.
            if (m_inFrame)
                m_dropped += m_frame.size();
            m_discarding = false;
            m_inFrame = true;
            m_frame.assign(1, byte);
            continue;
        }
        if (m_discarding || !m_inFrame) {
            ++m_dropped;
            if (byte == kTerminator)
                m_discarding = false;
            continue;
        }
        m_frame.push_back(byte);
        if (byte == kTerminator) {
            m_inFrame = false;
            onFrame(m_frame);
            m_frame.clear();
        } else if (m_frame.size() >= m_maxLength) {
            m_dropped += m_frame.size();
            m_frame.clear();
            m_inFrame = false;
            m_discarding = true;
        }
    }
}

} // namespace visca
