#pragma once
// A growable byte buffer: the firmware file is collected here in chunks before it is loaded.
// Grows in 4096-byte steps; reads never pass the bytes written.
#include "platform/WinTypes.h"

#include <cstdint>

struct StreamStorage
{
    std::uint8_t* data = nullptr;  // malloc'd, grown with realloc
    std::int32_t capacity = 0;     // size of data; a multiple of 4096
    std::int32_t length = 0;       // highest position any write has reached
    std::int32_t position = 0;     // where the next read or write happens
};

class CByteStream
{
public:
    CByteStream() = default;
    virtual ~CByteStream();
    CByteStream(const CByteStream&) = delete;
    CByteStream& operator=(const CByteStream&) = delete;

    // FALSE only when the storage record cannot be allocated; without a first block the
    // stream still exists, with capacity 0.
    BOOL Create();
    void Free();

    // Count on success, 0 when there is no storage or the block cannot grow (then nothing
    // is written).
    virtual std::int32_t Write(const void* bytes, std::int32_t count);
    virtual std::int32_t WriteUInt32(std::uint32_t value);
    virtual std::int32_t WriteUInt16(std::uint16_t value);
    // Count when that many bytes remain before length, else 0 and the position stays.
    virtual std::int32_t Read(void* out, std::int32_t count);
    virtual std::int32_t ReadUInt32(std::uint32_t* out);
    virtual std::int32_t ReadUInt16(std::uint16_t* out);

    const std::uint8_t* GetData() const { return m_pStorage ? m_pStorage->data : nullptr; }
    std::int32_t GetLength() const { return m_pStorage ? m_pStorage->length : 0; }
    std::int32_t GetCapacity() const { return m_pStorage ? m_pStorage->capacity : 0; }
    // Moves the cursor to position (0..length) so that written bytes can be read back;
    // FALSE and no move otherwise.
    BOOL Seek(std::int32_t position);
    std::int32_t GetPosition() const { return m_pStorage ? m_pStorage->position : 0; }

private:
    StreamStorage* m_pStorage = nullptr;
};
