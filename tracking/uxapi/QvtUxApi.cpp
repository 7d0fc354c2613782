// The speakerphone USB library: reads the QVT-90UX's record (see UxDeviceLink.h).
#include "tracking/uxapi/QvtUxApi.h"
#include "tracking/uxapi/UxDeviceLink.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct UxDevice
{
    UxDeviceRecord* record;
};

bool OwnerAlive(const UxDeviceRecord* r)
{
    return r->ownerPid > 0 && (::kill(r->ownerPid, 0) == 0 || errno == EPERM);
}

bool Attached(const UxDeviceRecord* r)
{
    return r->magic == UxDeviceRecord::kMagic && r->attached.load() == 1 && OwnerAlive(r);
}

bool ReadVersion(const UxDeviceRecord* r, char* out)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::uint32_t before = r->versionSequence.load(std::memory_order_acquire);
        if (before & 1u)
            continue;
        std::memcpy(out, r->version, sizeof r->version);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (r->versionSequence.load(std::memory_order_relaxed) == before) {
            out[kUxVersionSize - 1] = '\0';
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) UXHANDLE UxOpen(int bus, int index, char* version)
{
    if (bus != 0 || index != 0 || !version)
        return nullptr;
    const int fd = ::open(UxDeviceLinkPath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    void* map = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && st.st_size >= static_cast<off_t>(sizeof(UxDeviceRecord)))
        map = ::mmap(nullptr, sizeof(UxDeviceRecord), PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        return nullptr;
    auto* record = static_cast<UxDeviceRecord*>(map);
    if (!Attached(record) || !ReadVersion(record, version)) {
        ::munmap(map, sizeof(UxDeviceRecord));
        return nullptr;
    }
    return new UxDevice{record};
}

__attribute__((visibility("default"))) int UxRequest(UXHANDLE handle, int request, unsigned char* buffer)
{
    auto* device = static_cast<UxDevice*>(handle);
    if (!device || !buffer || request != kUxRequestDirection || buffer[0] != kUxDirectionQuery)
        return 1;
    if (!Attached(device->record))
        return 2;
    buffer[1] = device->record->direction.load();
    return 0;
}

__attribute__((visibility("default"))) int UxClose(UXHANDLE handle)
{
    auto* device = static_cast<UxDevice*>(handle);
    if (device) {
        ::munmap(device->record, sizeof(UxDeviceRecord));
        delete device;
    }
    return 0;
}

}
