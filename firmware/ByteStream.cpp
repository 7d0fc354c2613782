#include "firmware/ByteStream.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {
constexpr std::int64_t kBlock = 4096;
}

CByteStream::~CByteStream()
{
    Free();
}

BOOL CByteStream::Create()
{
    Free();
    m_pStorage = new (std::nothrow) StreamStorage;
    if (!m_pStorage)
        return FALSE;
    m_pStorage->data = static_cast<std::uint8_t*>(std::malloc(kBlock));
    m_pStorage->capacity = m_pStorage->data ? static_cast<std::int32_t>(kBlock) : 0;
    return TRUE;
}

void CByteStream::Free()
{
    if (!m_pStorage)
        return;
    std::free(m_pStorage->data);
    delete m_pStorage;
    m_pStorage = nullptr;
}

std::int32_t CByteStream::Write(const void* bytes, std::int32_t count)
{
    if (!m_pStorage || count < 0 || (count > 0 && !bytes))
        return 0;
    StreamStorage& s = *m_pStorage;
    // 64-bit arithmetic: a stream near 2 GiB must refuse the write, not wrap round.
    const std::int64_t end = std::int64_t(s.position) + count;
    if (end > s.capacity) {
        const std::int64_t capacity = (end / kBlock + 1) * kBlock;
        if (capacity > std::numeric_limits<std::int32_t>::max())
            return 0;
        auto* grown = static_cast<std::uint8_t*>(std::realloc(s.data, static_cast<std::size_t>(capacity)));
        if (!grown)
            return 0;
        s.data = grown;
        s.capacity = static_cast<std::int32_t>(capacity);
    }
    if (count > 0)
        std::memcpy(s.data + s.position, bytes, static_cast<std::size_t>(count));
    s.position = static_cast<std::int32_t>(end);
    if (s.position > s.length)
        s.length = s.position;
    return count;
}

std::int32_t CByteStream::WriteUInt32(std::uint32_t value)
{
    const std::uint8_t b[4] = {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8),
                               std::uint8_t(value)};
    return Write(b, 4);
}

std::int32_t CByteStream::WriteUInt16(std::uint16_t value)
{
    const std::uint8_t b[2] = {std::uint8_t(value >> 8), std::uint8_t(value)};
    return Write(b, 2);
}

BOOL CByteStream::Seek(std::int32_t position)
{
    if (!m_pStorage || position < 0 || position > m_pStorage->length)
        return FALSE;
    m_pStorage->position = position;
    return TRUE;
}

std::int32_t CByteStream::Read(void* out, std::int32_t count)
{
    if (!m_pStorage || count < 0 || (count > 0 && !out))
        return 0;
    StreamStorage& s = *m_pStorage;
    if (std::int64_t(s.length) - s.position < count)
        return 0;
    if (count > 0)
        std::memcpy(out, s.data + s.position, static_cast<std::size_t>(count));
    s.position += count;
    return count;
}

std::int32_t CByteStream::ReadUInt32(std::uint32_t* out)
{
    std::uint8_t b[4];
    if (Read(b, 4) != 4)
        return 0;
    if (out)
        *out = (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
    return 4;
}

std::int32_t CByteStream::ReadUInt16(std::uint16_t* out)
{
    std::uint8_t b[2];
    if (Read(b, 2) != 2)
        return 0;
    if (out)
        *out = static_cast<std::uint16_t>((b[0] << 8) | b[1]);
    return 2;
}
