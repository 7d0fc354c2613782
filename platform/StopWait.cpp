#include "platform/StopWait.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

struct Waits
{
    std::mutex mutex;
    std::condition_variable raised;
    // Threads inside PollUnless: the flag they wait on and their wake-up descriptor.
    std::vector<std::pair<const std::atomic<int>*, int>> pollers;
};

Waits& TheWaits()
{
    static Waits waits;
    return waits;
}

// Each thread's wake-up descriptor, made on its first descriptor wait.
struct WakeDescriptor
{
    WakeDescriptor() : fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~WakeDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
};

int ThreadWakeDescriptor()
{
    thread_local WakeDescriptor wake;
    return wake.fd;
}

int PollRetryingInterrupts(pollfd* fds, nfds_t count, int timeoutMs)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        const int n = ::poll(fds, count, timeoutMs);
        if (n >= 0 || errno != EINTR)
            return n;
        if (timeoutMs >= 0)
            timeoutMs = int(std::max<long long>(0, duration_cast<milliseconds>(deadline - steady_clock::now()).count()));
    }
}

} // namespace

void RaiseStop(std::atomic<int>& flag)
{
    Waits& waits = TheWaits();
    {
        // Set under the lock, so that no waiter can check the flag and then miss the wake.
        std::lock_guard lock(waits.mutex);
        flag.store(1);
        for (const auto& [waited, fd] : waits.pollers) {
            const std::uint64_t one = 1;
            if (waited == &flag && ::write(fd, &one, sizeof one) < 0) {
                // A full counter already wakes the poller.
            }
        }
    }
    waits.raised.notify_all();
}

bool WaitForStop(const std::atomic<int>& flag, std::chrono::microseconds timeout)
{
    Waits& waits = TheWaits();
    std::unique_lock lock(waits.mutex);
    return waits.raised.wait_for(lock, timeout, [&] { return flag.load() != 0; });
}

StopWait PollUnless(int fd, short events, const std::atomic<int>& flag, int timeoutMs, short* revents)
{
    const int wake = ThreadWakeDescriptor();
    if (wake < 0) {
        // No descriptor to spare: slices short enough that a stop is still seen soon.
        pollfd p{fd, events, 0};
        const int slice = timeoutMs < 0 ? 10 : std::min(timeoutMs, 10);
        const int n = PollRetryingInterrupts(&p, 1, slice);
        if (flag.load())
            return StopWait::Stopped;
        if (n < 0)
            return StopWait::Failed;
        if (revents)
            *revents = p.revents;
        return n > 0 ? StopWait::Ready : StopWait::TimedOut;
    }
    Waits& waits = TheWaits();
    {
        std::lock_guard lock(waits.mutex);
        if (flag.load())
            return StopWait::Stopped;
        waits.pollers.emplace_back(&flag, wake);
    }
    pollfd p[2] = {{fd, events, 0}, {wake, POLLIN, 0}};
    const int n = PollRetryingInterrupts(p, 2, timeoutMs);
    {
        std::lock_guard lock(waits.mutex);
        auto& list = waits.pollers;
        list.erase(std::find(list.begin(), list.end(), std::make_pair(&flag, wake)));
    }
    std::uint64_t count = 0;
    if (::read(wake, &count, sizeof count) < 0) {
        // Nothing to drain: the flag was not raised while this thread waited.
    }
    if (flag.load())
        return StopWait::Stopped;
    if (n < 0)
        return StopWait::Failed;
    if (n == 0 || p[0].revents == 0)
        return StopWait::TimedOut;
    if (revents)
        *revents = p[0].revents;
    return StopWait::Ready;
}
