#pragma once
// A named mutex between processes: an exclusive flock on a lock file. The kernel releases it
// when its holder dies, so a crashed holder never leaves it taken. The lock belongs to this
// object's open file: two NamedLock objects on one name exclude each other even inside one
// process. The lock file itself stays in place (removing it would race with other openers).
#include <chrono>
#include <string>
#include <string_view>

class NamedLock
{
public:
    // Does not lock yet; the file is opened (and created when missing) on the first attempt.
    explicit NamedLock(std::string lockFilePath);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    // Opens (or makes) the lock file without locking; false with OpenError() set when it
    // cannot. The locking calls open it themselves when needed.
    bool Open() { return OpenFile(); }

    enum class Attempt { Taken, Held, CannotOpen };
    // Takes the lock if nobody holds it; never waits. CannotOpen when the lock file can be
    // neither opened nor made (e.g. another user's stale file); OpenError() tells why.
    Attempt Try();
    // Try() == Taken.
    bool TryLock() { return Try() == Attempt::Taken; }
    // Waits for the lock without limit; false only when the file cannot be made.
    bool Lock();
    // Waits at most timeout; false when it is still held by another then.
    bool LockFor(std::chrono::milliseconds timeout);
    void Unlock();

    bool IsLocked() const { return m_bLocked; }
    const std::string& Path() const { return m_strPath; }
    int OpenError() const { return m_nOpenError; }  // errno of the last failed open, else 0

private:
    bool OpenFile();

    std::string m_strPath;
    int m_fd = -1;
    bool m_bLocked = false;
    int m_nOpenError = 0;
};

// The lock file of a single-instance mutex: <XDG_RUNTIME_DIR>/<name>.lock, one per login
// session (the per-logon namespace). A name in the "Global\" form lives in the machine-wide
// folder /run/lock (or /tmp when /run/lock is not writable) instead. Without XDG_RUNTIME_DIR,
// the per-session file goes to /tmp/<name>-<uid>.lock.
std::string SingleInstanceLockPath(std::string_view mutexName);

// The prefix put before the system-wide names of shared memory and their mutexes, taken from
// the environment variable QVT_VZ1_SHM_PREFIX (default empty). Tests set it so that
// parallel test processes never meet on the same names.
std::string SharedNamePrefix();

// The lock file of a speakerphone record's named mutex: /dev/shm/<prefix><mutexName>, beside
// the shared memory, e.g. "/dev/shm/QVT-18TR_TRACKING_INFO_MUTEX".
std::string SharedMutexPath(std::string_view mutexName);
