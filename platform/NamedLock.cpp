#include "platform/NamedLock.h"

#include <cerrno>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A name becomes one file name: path separators of either kind turn into '_'.
std::string FileSafe(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        if (c == '/' || c == '\\' || c == '\0')
            c = '_';
    if (out.empty() || out == "." || out == "..")
        out.insert(0, "_");
    return out;
}

} // namespace

NamedLock::NamedLock(std::string lockFilePath)
    : m_strPath(std::move(lockFilePath))
{
}

NamedLock::~NamedLock()
{
    Unlock();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool NamedLock::OpenFile()
{
    if (m_fd >= 0)
        return true;
    // Open an existing file first: in a sticky shared folder another user's file may not be
    // opened with O_CREAT, and a lock needs only read access.
    for (int attempt = 0; attempt < 3 && m_fd < 0; ++attempt) {
        m_fd = ::open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (m_fd >= 0 || errno != ENOENT)
            break;
        m_fd = ::open(m_strPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
        if (m_fd >= 0)
            ::fchmod(m_fd, 0644);  // readable by all, so other users can lock it too
        else if (errno != EEXIST)
            break;
    }
    m_nOpenError = m_fd >= 0 ? 0 : errno;
    return m_fd >= 0;
}

NamedLock::Attempt NamedLock::Try()
{
    if (m_bLocked)
        return Attempt::Taken;
    if (!OpenFile())
        return Attempt::CannotOpen;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR)
            return Attempt::Held;
    }
    m_bLocked = true;
    return Attempt::Taken;
}

bool NamedLock::Lock()
{
    if (m_bLocked)
        return true;
    if (!OpenFile())
        return false;
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return false;
    }
    m_bLocked = true;
    return true;
}

bool NamedLock::LockFor(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::microseconds(100);
    for (;;) {
        if (TryLock())
            return true;
        if (m_fd < 0 || std::chrono::steady_clock::now() >= deadline)
            return false;
        // flock has no timed wait; the holders keep it for a byte read, so short polls do.
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(5000));
    }
}

void NamedLock::Unlock()
{
    if (!m_bLocked)
        return;
    ::flock(m_fd, LOCK_UN);
    m_bLocked = false;
}

std::string SingleInstanceLockPath(std::string_view mutexName)
{
    constexpr std::string_view kGlobal = "Global\\";
    if (mutexName.substr(0, kGlobal.size()) == kGlobal) {
        const std::string name = FileSafe(mutexName.substr(kGlobal.size()));
        const char* folder = ::access("/run/lock", W_OK) == 0 ? "/run/lock" : "/tmp";
        return std::string(folder) + "/" + name + ".lock";
    }
    constexpr std::string_view kLocal = "Local\\";
    if (mutexName.substr(0, kLocal.size()) == kLocal)
        mutexName.remove_prefix(kLocal.size());
    const std::string name = FileSafe(mutexName);
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        return std::string(runtime) + "/" + name + ".lock";
    return "/tmp/" + name + "-" + std::to_string(::getuid()) + ".lock";
}

std::string SharedNamePrefix()
{
    const char* prefix = std::getenv("QVT_VZ1_SHM_PREFIX");
    return prefix && *prefix ? FileSafe(prefix) : std::string();
}

std::string SharedMutexPath(std::string_view mutexName)
{
    return "/dev/shm/" + SharedNamePrefix() + FileSafe(mutexName);
}
