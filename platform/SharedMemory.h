#pragma once
// A named shared-memory record between processes: POSIX shm_open("/<prefix><name>") mapped
// read-write. The writer (the speakerphone software, here the simulator) creates it; the
// reader (the tracking worker) opens the existing one. The prefix is SharedNamePrefix()
// (environment variable QVT_VZ1_SHM_PREFIX), so tests never meet on the system-wide names.
// Guard reads and writes with a NamedLock on SharedMutexPath(<mutex name>).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class SharedMemory
{
public:
    SharedMemory() = default;
    ~SharedMemory();
    SharedMemory(SharedMemory&& other) noexcept;
    SharedMemory& operator=(SharedMemory&& other) noexcept;
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    // Writer side: opens the record or makes it, at least size bytes (new bytes are zero).
    // With removeOnClose, the name is removed when this object closes, as a Windows mapping
    // disappears with its last handle; readers keep their mapping until they close.
    static SharedMemory Create(std::string_view name, std::size_t size, bool removeOnClose = true);
    // Reader side: maps the first size bytes of an existing record. Fails (IsOpen false) when
    // the record is missing or smaller than size, so a short record can never fault a read.
    static SharedMemory OpenExisting(std::string_view name, std::size_t size);
    // Removes the name (a record left behind by a writer that died).
    static bool Remove(std::string_view name);
    // The object name given to shm_open: "/" + prefix + name.
    static std::string ObjectName(std::string_view name);

    bool IsOpen() const { return m_pData != nullptr; }
    std::uint8_t* Data() const { return m_pData; }
    std::size_t Size() const { return m_nSize; }
    void Close();

private:
    std::uint8_t* m_pData = nullptr;
    std::size_t m_nSize = 0;
    std::string m_strObjectName;
    bool m_bRemoveOnClose = false;
};
