#pragma once
// The firmware image: checks a ".BIN" file's header, inflates its zlib stream, verifies the
// CRC-16 of the result and keeps the image until it has been written to the camera.
//
// File layout (big-endian): 0 magic "QX1\0"; 4 u32 bytes after this field (size - 8);
// 8 version text, 8 bytes NUL-padded; 16 u32 not interpreted; 20 u32 L = 2 + compressed
// length; 24 u16 CRC-16 of the inflated image; 26 the zlib stream (L - 2 bytes).
#include <cstdint>

// Load results.
constexpr std::int32_t FW_LOAD_OK = 0;
constexpr std::int32_t FW_LOAD_NO_MEMORY = -1;
constexpr std::int32_t FW_LOAD_INVALID = -5;
constexpr std::int32_t FW_LOAD_INFLATE_FAILED = -6;

constexpr std::uint32_t kFirmwareHeaderSize = 26;

// The inflated image is at most three times its compressed stream and, whatever the
// header claims, never more than this: the camera's flash is a few MiB, so a larger
// image can only be a damaged or hostile file, and it must not take the machine's memory.
constexpr std::uint32_t kMaxFirmwareImageLength = 64u * 1024 * 1024;

class CFirmwareImage
{
public:
    CFirmwareImage() = default;
    virtual ~CFirmwareImage();
    CFirmwareImage(const CFirmwareImage&) = delete;
    CFirmwareImage& operator=(const CFirmwareImage&) = delete;

    // 0 loaded; -1 no memory for the image; -5 not a valid firmware file (magic, length
    // fields, CRC, data shorter than its header says); -6 the stream does not inflate.
    // A failed load keeps the image held before; only the status may change.
    std::int32_t Load(const std::uint8_t* data, std::uint32_t size);

    // The 8 version bytes (not terminated when all 8 are used).
    void GetVersion(char out[8]) const;
    // The version as text of at most 8 characters.
    const char* GetVersionText() const { return m_version; }

    // The image (null before the first successful load); length and crc through the
    // pointers that are not null.
    const std::uint8_t* GetImage(std::uint32_t* length, std::uint16_t* crc) const;

    // -1 until a load has seen the right magic; 0 once the last load recognised it.
    std::int32_t GetStatus() const { return m_nStatus; }

private:
    std::int32_t m_nStatus = -1;
    std::uint8_t* m_pImage = nullptr;
    std::uint32_t m_nImageLength = 0;
    std::uint16_t m_wCrc = 0;
    char m_version[8 + 2] = {};  // 8 characters and a 16-bit zero
};
