#pragma once
// A speakerphone record in named shared memory, read under its named mutex: the source of
// the QVT-18TR (kind 3) and of the MZC companion software (kinds 4 and 5).
#include "platform/Clock.h"
#include "platform/NamedLock.h"
#include "platform/SharedMemory.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <memory>

constexpr const char* kQvt18TRRecordName = "QVT-18TR_TRACKING_INFO";
constexpr const char* kQvt18TRMutexName = "QVT-18TR_TRACKING_INFO_MUTEX";
constexpr const char* kMzcRecordName = "MZC_TRACKING_INFO";
constexpr const char* kMzcMutexName = "MZC_TRACKING_INFO_MUTEX";
constexpr std::size_t kTrackingRecordSize = 2;

class SharedRecordSource
{
public:
    SharedRecordSource(const char* recordName, const char* mutexName);

    // Tries every retryMs until the record exists (the speakerphone software makes it);
    // false when stop was set first.
    bool Attach(CClock& clock, DWORD retryMs, const std::atomic<int>& stop);

    // Copies the first count bytes (at most the record's size) under the named mutex.
    // The wait for the mutex gives way to stop; false then, or when the mutex cannot be made.
    bool Read(BYTE* out, std::size_t count, const std::atomic<int>& stop);

private:
    const char* m_recordName;
    const char* m_mutexName;
    SharedMemory m_record;
    std::unique_ptr<NamedLock> m_lock;
};
