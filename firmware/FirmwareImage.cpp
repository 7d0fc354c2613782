#include "firmware/FirmwareImage.h"

#include "firmware/Crc16.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

std::uint32_t ReadBigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint16_t ReadBigEndian16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

constexpr std::uint8_t kMagic[4] = {'Q', 'X', '1', 0};

} // namespace

CFirmwareImage::~CFirmwareImage()
{
    std::free(m_pImage);
}

std::int32_t CFirmwareImage::Load(const std::uint8_t* data, std::uint32_t size)
{
    InitCrc16Table();

    m_nStatus = -1;
    if (!data || size < sizeof kMagic)
        return FW_LOAD_INVALID;
    if (std::memcmp(data, kMagic, sizeof kMagic) == 0)
        m_nStatus = 0;
    if (m_nStatus == -1)
        return FW_LOAD_INVALID;

    // Every field is read only after the data is known to hold it.
    if (size < 8 || ReadBigEndian32(data + 4) != size - 8)
        return FW_LOAD_INVALID;
    if (size < kFirmwareHeaderSize)
        return FW_LOAD_INVALID;

    const std::uint32_t fieldL = ReadBigEndian32(data + 20);
    if (fieldL < 2)
        return FW_LOAD_INVALID;
    const std::uint32_t compressed = fieldL - 2;
    if (compressed > size - kFirmwareHeaderSize)
        return FW_LOAD_INVALID;
    const std::uint16_t storedCrc = ReadBigEndian16(data + 24);

    // 64-bit: three times a compressed length near 4 GiB must not wrap round to a small block.
    const std::uint64_t capacity = std::min<std::uint64_t>(3ull * compressed, kMaxFirmwareImageLength);
    auto* block = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(std::max<std::uint64_t>(capacity, 1))));
    if (!block)
        return FW_LOAD_NO_MEMORY;

    uLongf inflated = static_cast<uLongf>(capacity);
    if (compressed == 0 || uncompress(block, &inflated, data + kFirmwareHeaderSize, compressed) != Z_OK) {
        std::free(block);
        return FW_LOAD_INFLATE_FAILED;
    }

    const std::uint32_t imageLength = static_cast<std::uint32_t>(inflated);
    if (CalcCrc16(block, imageLength) != storedCrc) {
        std::free(block);
        return FW_LOAD_INVALID;
    }

    std::free(m_pImage);
    m_pImage = block;
    m_nImageLength = imageLength;
    m_wCrc = storedCrc;
    std::memcpy(m_version, data + 8, 8);
    m_version[8] = m_version[9] = 0;
    return FW_LOAD_OK;
}

void CFirmwareImage::GetVersion(char out[8]) const
{
    std::memcpy(out, m_version, 8);
}

const std::uint8_t* CFirmwareImage::GetImage(std::uint32_t* length, std::uint16_t* crc) const
{
    if (length)
        *length = m_nImageLength;
    if (crc)
        *crc = m_wCrc;
    return m_pImage;
}
