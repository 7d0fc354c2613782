#include "sim/FirmwareReceiver.h"

#include "camera/ViscaFrame.h"

#include <cstring>

bool FirmwareReceiver::Start(std::uint32_t size)
{
    m_active = false;
    m_image.clear();
    m_blocks = 0;
    if (size == 0 || size > kMaxImageBytes)
        return false;
    m_size = size;
    m_image.reserve(size);
    m_active = true;
    return true;
}

FirmwareReceiver::BlockResult FirmwareReceiver::Block(std::uint16_t sequence, std::span<const std::uint8_t> data)
{
    if (!m_active || data.empty() || data.size() > static_cast<size_t>(visca::kFirmwareBlockBytes))
        return BlockResult::Refused;
    if (m_blocks > 0 && sequence == static_cast<std::uint16_t>(m_blocks - 1))
        return BlockResult::Repeated;
    if (sequence != static_cast<std::uint16_t>(m_blocks) || m_image.size() + data.size() > m_size)
        return BlockResult::Refused;
    m_image.insert(m_image.end(), data.begin(), data.end());
    ++m_blocks;
    return BlockResult::Taken;
}

std::optional<std::string> FirmwareReceiver::Finish(std::uint16_t checksum)
{
    const bool complete = m_active && m_image.size() == m_size && visca::FirmwareChecksum(m_image) == checksum;
    std::optional<std::string> version = complete ? ImageVersion(m_image) : std::nullopt;
    m_active = false;
    m_image.clear();
    m_image.shrink_to_fit();
    return version;
}

std::optional<std::string> FirmwareReceiver::ImageVersion(std::span<const std::uint8_t> image)
{
    static const char kMarker[] = "QVTVZ1FW";
    if (image.size() < 16 || std::memcmp(image.data(), kMarker, 8) != 0)
        return std::nullopt;
    std::string version;
    for (size_t i = 8; i < 16 && image[i] != 0; ++i) {
        if (image[i] < 0x20 || image[i] > 0x7E)
            return std::nullopt;
        version += static_cast<char>(image[i]);
    }
    if (version.empty())
        return std::nullopt;
    return version;
}
