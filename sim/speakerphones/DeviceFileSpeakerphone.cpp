#include "sim/speakerphones/DeviceFileSpeakerphone.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

DeviceFileSpeakerphone::DeviceFileSpeakerphone(std::string path) : m_path(std::move(path)) {}

DeviceFileSpeakerphone::~DeviceFileSpeakerphone()
{
    Detach();
}

bool DeviceFileSpeakerphone::Attach(std::string* error)
{
    if (IsAttached())
        return true;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        if (error)
            *error = std::string("no pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0)
            ::close(master);
        return false;
    }
    char name[128] = {};
    ::ptsname_r(master, name, sizeof name);
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios raw{};
    if (slave < 0 || ::tcgetattr(slave, &raw) != 0) {
        if (error)
            *error = std::string("cannot open ") + name;
        if (slave >= 0)
            ::close(slave);
        ::close(master);
        return false;
    }
    ::cfmakeraw(&raw);  // reports are binary: no line editing, no echo, no translation
    ::tcsetattr(slave, TCSANOW, &raw);

    std::error_code ec;
    const std::filesystem::path link(m_path);
    std::filesystem::create_directories(link.parent_path(), ec);
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(name, link, ec);
    if (ec) {
        if (error)
            *error = "cannot make " + m_path + ": " + ec.message();
        ::close(slave);
        ::close(master);
        return false;
    }
    m_master = master;
    m_slave = slave;
    m_stop = false;
    m_thread = std::thread([this] { ReportLoop(); });
    return true;
}

void DeviceFileSpeakerphone::Detach()
{
    if (!IsAttached())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
    ::close(m_slave);
    ::close(m_master);
    m_slave = m_master = -1;
}

void DeviceFileSpeakerphone::SetCode(std::uint8_t code)
{
    m_code = code;
}

void DeviceFileSpeakerphone::SendReport()
{
    std::lock_guard lock(m_writeMutex);
    if (m_master < 0)
        return;
    // Nobody has read for a while: drop the stale reports, as the driver keeps only
    // recent ones (and a full queue would split a report).
    int queued = 0;
    if (::ioctl(m_slave, FIONREAD, &queued) == 0 && queued > 8 * 9)
        ::tcflush(m_slave, TCIFLUSH);
    const std::uint8_t report[9] = {0x51, 0x40, m_sequence++, 0, 0, 0, 0, 0, m_code.load()};
    [[maybe_unused]] const ssize_t n = ::write(m_master, report, sizeof report);
}

void DeviceFileSpeakerphone::ReportLoop()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        lock.unlock();
        SendReport();
        lock.lock();
        m_wake.wait_for(lock, std::chrono::milliseconds(kReportPeriodMs), [this] { return m_stop; });
    }
}
