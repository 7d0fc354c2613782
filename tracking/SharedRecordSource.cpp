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
    // The writer holds the mutex for a byte or two: poll it often, so that neither a read
    // nor a stop waits long, and give up this one reading if it stays held for a second.
    using namespace std::chrono;
    const auto giveUp = steady_clock::now() + seconds(1);
    while (!m_lock->TryLock()) {
        if (stop.load() || steady_clock::now() >= giveUp)
            return false;
        std::this_thread::sleep_for(microseconds(200));
    }
    std::copy_n(m_record.Data(), std::min(count, m_record.Size()), out);
    m_lock->Unlock();
    return true;
}
