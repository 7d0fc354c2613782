#pragma once
// Firmware files for the tests and the benchmark: the 26-byte header around a zlib stream.
#include "firmware/Crc16.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void PutBigEndian32(Bytes& f, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

inline Bytes Deflate(const Bytes& image, int level = Z_DEFAULT_COMPRESSION)
{
    uLongf size = compressBound(image.size());
    Bytes out(size);
    compress2(out.data(), &size, image.data(), image.size(), level);
    return out.resize(size), out;
}

inline Bytes FileAroundStream(const Bytes& stream, std::uint16_t crc, const std::string& version = "2.10")
{
    Bytes f(26 + stream.size(), 0);
    std::memcpy(f.data(), "QX1", 4);
    PutBigEndian32(f, 4, static_cast<std::uint32_t>(18 + stream.size()));
    std::memcpy(f.data() + 8, version.data(), std::min<std::size_t>(8, version.size()));
    PutBigEndian32(f, 20, static_cast<std::uint32_t>(2 + stream.size()));
    f[24] = static_cast<std::uint8_t>(crc >> 8);
    f[25] = static_cast<std::uint8_t>(crc);
    std::copy(stream.begin(), stream.end(), f.begin() + 26);
    return f;
}

inline Bytes MakeFirmwareFile(const Bytes& image, const std::string& version = "2.10")
{
    return FileAroundStream(Deflate(image), CalcCrc16(image.data(), static_cast<std::uint32_t>(image.size())), version);
}

// Bytes over a 64-letter alphabet: compressible, but less than 3:1, like firmware.
inline Bytes NoiseImage(std::size_t size, std::uint32_t seed, std::size_t from = 0)
{
    Bytes image(size, 0);
    std::uint32_t x = seed * 2654435761u + 12345;
    for (std::size_t i = from; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(((x = x * 1664525u + 1013904223u) >> 24) & 0x3F);
    return image;
}

// What the virtual camera accepts: "QVTVZ1FW", the version NUL-padded to 8 bytes, payload.
inline Bytes MakeCameraImage(const std::string& version, std::size_t payload)
{
    Bytes image = NoiseImage(16 + payload, 77, 16);
    std::memcpy(image.data(), "QVTVZ1FW", 8);
    std::memcpy(image.data() + 8, version.data(), std::min<std::size_t>(8, version.size()));
    return image;
}
