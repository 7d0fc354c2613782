#include "tracking/SharedRecordSource.h"

#include "platform/DebugLog.h"
#include "platform/StopWait.h"

#include <algorithm>
#include <chrono>
#include <cstring>

SharedRecordSource::SharedRecordSource(const char* recordName, const char* mutexName)
    : m_recordName(recordName), m_mutexName(mutexName)
{
}

bool SharedRecordSource::Attach(CClock& clock, DWORD retryMs, const std::atomic<int>& stop)
{
    bool reported = false;
    while (!stop.load()) {
        m_record = SharedMemory::OpenExisting(m_recordName, kTrackingRecordSize);
        if (m_record.IsOpen()) {
            // The mutex belongs to the attach, as its creation does on the speakerphone's
            // side: a lock file that cannot be opened (another user's stale file) is not a
            // held lock, and waiting on it would never end; undo and try again later.
            m_lock = std::make_unique<NamedLock>(SharedMutexPath(m_mutexName));
            if (m_lock->Open())
                return true;
            if (!reported)
                qCWarning(lcQvtDebug, "cannot open the lock file %s: %s; retrying every %u ms",
                          m_lock->Path().c_str(), std::strerror(m_lock->OpenError()), unsigned(retryMs));
            reported = true;
            m_lock.reset();
            m_record = SharedMemory();
        }
        clock.SleepUnless(retryMs, stop);
    }
    return false;
}

bool SharedRecordSource::Read(BYTE* out, std::size_t count, const std::atomic<int>& stop)
{
    if (!m_record.IsOpen() || !m_lock)
        return false;
    // The writer holds the mutex for a byte or two: retry soon, with growing pauses that a
    // stop cuts short, and give up this one reading if it stays held for a second.
    using namespace std::chrono;
    const auto giveUp = steady_clock::now() + seconds(1);
    auto pause = microseconds(100);
    for (;;) {
        const NamedLock::Attempt attempt = m_lock->Try();
        if (attempt == NamedLock::Attempt::Taken)
            break;
        if (attempt == NamedLock::Attempt::CannotOpen || steady_clock::now() >= giveUp)
            return false;
        if (WaitForStop(stop, pause))
            return false;
        pause = std::min(pause * 2, microseconds(20000));
    }
    std::copy_n(m_record.Data(), std::min(count, m_record.Size()), out);
    m_lock->Unlock();
    return true;
}
