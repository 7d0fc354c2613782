#include "app/ShutdownSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The write end is all the handler may touch: writing to a pipe is async-signal-safe.
volatile sig_atomic_t g_writeFd = -1;
int g_readFd = -1;
struct sigaction g_previous[3];

void OnSignal(int signo)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signo);
    if (g_writeFd >= 0) {
        const ssize_t n = ::write(g_writeFd, &byte, 1);
        (void)n;  // a full pipe already holds a pending request
    }
    errno = saved;
}

} // namespace

CShutdownSignals::CShutdownSignals(std::function<void(int)> onSignal) : m_onSignal(std::move(onSignal))
{
    int fds[2];
    if (g_writeFd >= 0 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_readFd = fds[0];
    g_writeFd = fds[1];
    m_notifier = std::make_unique<QSocketNotifier>(g_readFd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CShutdownSignals::OnReadable);
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(kSignals[i], &action, &g_previous[i]);
    }
    m_bInstalled = true;
}

CShutdownSignals::~CShutdownSignals()
{
    if (!m_bInstalled)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    ::close(g_readFd);
    g_readFd = -1;
}

void CShutdownSignals::OnReadable()
{
    unsigned char buffer[16];
    const ssize_t n = ::read(g_readFd, buffer, sizeof buffer);
    for (ssize_t i = 0; i < n; ++i) {
        if (m_onSignal)
            m_onSignal(buffer[i]);
    }
}
