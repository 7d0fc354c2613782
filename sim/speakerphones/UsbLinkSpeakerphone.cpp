#include "sim/speakerphones/UsbLinkSpeakerphone.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

UsbLinkSpeakerphone::UsbLinkSpeakerphone(std::string path, std::string version)
    : m_path(std::move(path)), m_version(std::move(version))
{
}

UsbLinkSpeakerphone::~UsbLinkSpeakerphone()
{
    Detach();
}

bool UsbLinkSpeakerphone::Attach(std::string* error)
{
    if (IsAttached())
        return true;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
    // Made whole under a temporary name and renamed into place, so the library never
    // maps a half-made record.
    const std::string temporary = m_path + ".new-" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    void* map = MAP_FAILED;
    if (fd >= 0 && ::ftruncate(fd, sizeof(UxDeviceRecord)) == 0)
        map = ::mmap(nullptr, sizeof(UxDeviceRecord), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (fd >= 0)
        ::close(fd);
    if (map == MAP_FAILED) {
        if (error)
            *error = "cannot make " + temporary + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    auto* record = new (map) UxDeviceRecord{};
    record->magic = UxDeviceRecord::kMagic;
    record->ownerPid = ::getpid();
    record->direction = m_code;
    m_record = record;
    WriteVersion();
    record->attached = 1;
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        if (error)
            *error = "cannot make " + m_path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        ::munmap(map, sizeof(UxDeviceRecord));
        m_record = nullptr;
        return false;
    }
    return true;
}

void UsbLinkSpeakerphone::Detach()
{
    if (!m_record)
        return;
    m_record->attached = 0;  // a library that still maps it sees the unplug
    ::unlink(m_path.c_str());
    ::munmap(m_record, sizeof(UxDeviceRecord));
    m_record = nullptr;
}

void UsbLinkSpeakerphone::SetCode(std::uint8_t code)
{
    m_code = code;
    if (m_record)
        m_record->direction = code;
}

void UsbLinkSpeakerphone::SetVersion(const std::string& version)
{
    m_version = version.substr(0, sizeof(UxDeviceRecord::version) - 1);
    if (m_record)
        WriteVersion();
}

void UsbLinkSpeakerphone::WriteVersion()
{
    m_record->versionSequence.fetch_add(1);  // odd: being written
    std::atomic_thread_fence(std::memory_order_release);
    std::memset(m_record->version, 0, sizeof m_record->version);
    std::memcpy(m_record->version, m_version.data(), std::min(m_version.size(), sizeof m_record->version - 1));
    m_record->versionSequence.fetch_add(1);
}
