#pragma once
// Builds firmware files for the tests and the benchmark: the 26-byte header and a zlib
// stream, with every field open to damage.
#include "firmware/Crc16.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct FirmwareFileFields
{
    std::string version = "2.10";
    std::uint32_t reserved = 0;
    bool wrongCrc = false;
};

inline void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v >> 24));
    out.push_back(std::uint8_t(v >> 16));
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

inline std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& image, int level = Z_DEFAULT_COMPRESSION)
{
    uLongf size = compressBound(image.size());
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, image.data(), image.size(), level) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

// A well-formed file around an already compressed stream.
inline std::vector<std::uint8_t> MakeFirmwareFileFromStream(const std::vector<std::uint8_t>& stream, std::uint16_t crc,
                                                            const FirmwareFileFields& f = {})
{
    std::vector<std::uint8_t> out{'Q', 'X', '1', 0};
    PutBigEndian32(out, static_cast<std::uint32_t>(18 + stream.size()));
    char version[8] = {};
    std::memcpy(version, f.version.data(), std::min<std::size_t>(8, f.version.size()));
    out.insert(out.end(), version, version + 8);
    PutBigEndian32(out, f.reserved);
    PutBigEndian32(out, static_cast<std::uint32_t>(2 + stream.size()));
    out.push_back(std::uint8_t(crc >> 8));
    out.push_back(std::uint8_t(crc));
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

inline std::vector<std::uint8_t> MakeFirmwareFile(const std::vector<std::uint8_t>& image, const FirmwareFileFields& f = {})
{
    std::uint16_t crc = CalcCrc16(image.data(), static_cast<std::uint32_t>(image.size()));
    if (f.wrongCrc)
        crc ^= 0x0101;
    return MakeFirmwareFileFromStream(Deflate(image), crc, f);
}

// The image layout the virtual camera accepts: "QVTVZ1FW", the version NUL-padded to 8
// bytes, then payload.
inline std::vector<std::uint8_t> MakeCameraImage(const std::string& version, std::size_t payload)
{
    std::vector<std::uint8_t> image(16 + payload, 0);
    std::memcpy(image.data(), "QVTVZ1FW", 8);
    std::memcpy(image.data() + 8, version.data(), std::min<std::size_t>(8, version.size()));
    // Pseudo-random bytes over a small alphabet: compressible, but less than 3:1.
    std::uint32_t x = 12345;
    for (std::size_t i = 16; i < image.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        image[i] = static_cast<std::uint8_t>((x >> 24) & 0x3F);
    }
    return image;
}
