#include "tracking/SharedRecordSource.h"

#include <algorithm>
#include <chrono>
#include <thread>

SharedRecordSource::SharedRecordSource(const char* recordName, const char* mutexName)
    : m_recordName(recordName), m_mutexName(mutexName)
{
}

bool SharedRecordSource::Attach(CClock& clock, DWORD retryMs, const std::atomic<int>& stop)
{
    while (!stop.load()) {
        m_record = SharedMemory::OpenExisting(m_recordName, kTrackingRecordSize);
        if (m_record.IsOpen()) {
            m_lock = std::make_unique<NamedLock>(SharedMutexPath(m_mutexName));
            return true;
        }
        clock.SleepUnless(retryMs, stop);
    }
    return false;
}

bool SharedRecordSource::Read(BYTE* out, std::size_t count, const std::atomic<int>& stop)
{
    if (!m_record.IsOpen() || !m_lock)
        return false;
    // The writer holds the mutex for a byte or two. Waiting in short slices keeps a stop
    // quick; a writer that keeps it longer than a second costs this one reading only.
    using namespace std::chrono;
    const auto giveUp = steady_clock::now() + seconds(1);
    while (!m_lock->LockFor(milliseconds(10))) {
        if (stop.load() || steady_clock::now() >= giveUp)
            return false;
        std::this_thread::sleep_for(milliseconds(1));  // LockFor fails at once without a lock file
    }
    std::copy_n(m_record.Data(), std::min(count, m_record.Size()), out);
    m_lock->Unlock();
    return true;
}
