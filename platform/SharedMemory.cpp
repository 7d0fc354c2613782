#include "platform/SharedMemory.h"

#include "platform/NamedLock.h"

#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

std::string SharedMemory::ObjectName(std::string_view name)
{
    std::string object = "/" + SharedNamePrefix();
    for (char c : name)
        object += (c == '/' || c == '\\' || c == '\0') ? '_' : c;
    return object;
}

SharedMemory SharedMemory::Create(std::string_view name, std::size_t size, bool removeOnClose)
{
    SharedMemory memory;
    if (size == 0)
        return memory;
    const std::string object = ObjectName(name);
    const int fd = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return memory;
    struct stat st{};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && static_cast<std::size_t>(st.st_size) < size)
        ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    void* data = ok ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    ::close(fd);
    if (data == MAP_FAILED)
        return memory;
    memory.m_pData = static_cast<std::uint8_t*>(data);
    memory.m_nSize = size;
    memory.m_strObjectName = object;
    memory.m_bRemoveOnClose = removeOnClose;
    return memory;
}

SharedMemory SharedMemory::OpenExisting(std::string_view name, std::size_t size)
{
    SharedMemory memory;
    if (size == 0)
        return memory;
    const std::string object = ObjectName(name);
    // Read-write, as the system maps it with full access; a record only readable by us
    // falls back to a read-only mapping, enough for the reader.
    int prot = PROT_READ | PROT_WRITE;
    int fd = ::shm_open(object.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) {
        fd = ::shm_open(object.c_str(), O_RDONLY | O_CLOEXEC, 0);
        prot = PROT_READ;
    }
    if (fd < 0)
        return memory;
    struct stat st{};
    void* data = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && static_cast<std::size_t>(st.st_size) >= size)
        data = ::mmap(nullptr, size, prot, MAP_SHARED, fd, 0);
    ::close(fd);
    if (data == MAP_FAILED)
        return memory;
    memory.m_pData = static_cast<std::uint8_t*>(data);
    memory.m_nSize = size;
    memory.m_strObjectName = object;
    return memory;
}

bool SharedMemory::Remove(std::string_view name)
{
    return ::shm_unlink(ObjectName(name).c_str()) == 0;
}

SharedMemory::~SharedMemory()
{
    Close();
}

SharedMemory::SharedMemory(SharedMemory&& other) noexcept
    : m_pData(std::exchange(other.m_pData, nullptr))
    , m_nSize(std::exchange(other.m_nSize, 0))
    , m_strObjectName(std::move(other.m_strObjectName))
    , m_bRemoveOnClose(std::exchange(other.m_bRemoveOnClose, false))
{
}

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept
{
    if (this != &other) {
        Close();
        m_pData = std::exchange(other.m_pData, nullptr);
        m_nSize = std::exchange(other.m_nSize, 0);
        m_strObjectName = std::move(other.m_strObjectName);
        m_bRemoveOnClose = std::exchange(other.m_bRemoveOnClose, false);
    }
    return *this;
}

void SharedMemory::Close()
{
    if (m_pData) {
        ::munmap(m_pData, m_nSize);
        if (m_bRemoveOnClose)
            ::shm_unlink(m_strObjectName.c_str());
    }
    m_pData = nullptr;
    m_nSize = 0;
    m_bRemoveOnClose = false;
    m_strObjectName.clear();
}
