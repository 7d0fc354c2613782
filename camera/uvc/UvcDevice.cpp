#include "camera/uvc/UvcDevice.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <future>
#include <linux/videodev2.h>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

struct UvcDevice::State
{
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;
    Tick tick;
    int tickMs = 0;
    bool stop = false;
    bool lost = false;
    int fd = -1;  // owned by the thread: closed when it ends

    void Run()
    {
        std::unique_lock lock(mutex);
        auto nextTick = std::chrono::steady_clock::now();
        while (!stop) {
            if (!jobs.empty()) {
                auto job = std::move(jobs.front());
                jobs.pop_front();
                lock.unlock();
                job();
                lock.lock();
                continue;
            }
            if (tick && !lost) {
                if (std::chrono::steady_clock::now() >= nextTick) {
                    Tick t = tick;
                    lock.unlock();
                    t(fd);
                    lock.lock();
                    nextTick = std::chrono::steady_clock::now() + std::chrono::milliseconds(tickMs);
                    continue;
                }
                wake.wait_until(lock, nextTick);
            } else {
                wake.wait(lock);
                nextTick = std::chrono::steady_clock::now();
            }
        }
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

namespace {

int Ioctl(int fd, unsigned long request, void* arg)
{
    int r;
    do
        r = ::ioctl(fd, request, arg);
    while (r < 0 && errno == EINTR);
    return r < 0 ? errno : 0;
}

} // namespace

UvcDevice::UvcDevice(std::shared_ptr<State> state, int timeoutMs) : m_state(std::move(state)), m_timeoutMs(timeoutMs)
{
}

std::unique_ptr<UvcDevice> UvcDevice::Open(const std::string& path, int timeoutMs, std::string* error)
{
    auto state = std::make_shared<State>();
    std::thread([state] { state->Run(); }).detach();
    std::unique_ptr<UvcDevice> device(new UvcDevice(state, timeoutMs));
    // Opening a node on a FUSE mount asks its server: bounded like every other call.
    const UvcCall opened = device->Call([path, state](int) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return UvcCall{false, errno, 0};
        std::lock_guard lock(state->mutex);
        state->fd = fd;
        return UvcCall{true, 0, fd};
    });
    if (!opened.ok) {
        if (error)
            *error = path + ": " + std::strerror(opened.error);
        return nullptr;
    }
    return device;
}

bool UvcDevice::Exists(const std::string& path, int timeoutMs)
{
    if (path.empty())
        return false;
    auto found = std::make_shared<std::promise<bool>>();
    std::future<bool> answer = found->get_future();
    std::thread([path, found] {
        struct stat st{};
        found->set_value(::stat(path.c_str(), &st) == 0);
    }).detach();
    return answer.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready && answer.get();
}

UvcDevice::~UvcDevice()
{
    std::lock_guard lock(m_state->mutex);
    m_state->stop = true;
    m_state->wake.notify_all();
}

bool UvcDevice::IsLinkLoss(int error)
{
    return error == ENODEV || error == EIO || error == ENXIO || error == ENOTCONN || error == ECONNABORTED
        || error == ETIMEDOUT || error == EBADF || error == ENOENT;
}

bool UvcDevice::Lost() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->lost;
}

UvcCall UvcDevice::Call(std::function<UvcCall(int fd)> job)
{
    auto task = std::make_shared<std::packaged_task<UvcCall()>>([job = std::move(job), state = m_state] {
        int fd;
        {
            std::lock_guard lock(state->mutex);
            fd = state->fd;
        }
        return job(fd);
    });
    std::future<UvcCall> result = task->get_future();
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->lost)
            return {false, ETIMEDOUT, 0};
        m_state->jobs.emplace_back([task] { (*task)(); });
        m_state->wake.notify_all();
    }
    if (result.wait_for(std::chrono::milliseconds(m_timeoutMs)) != std::future_status::ready) {
        std::lock_guard lock(m_state->mutex);
        m_state->lost = true;
        m_state->jobs.clear();
        return {false, ETIMEDOUT, 0};
    }
    UvcCall call = result.get();
    if (!call.ok && IsLinkLoss(call.error)) {
        std::lock_guard lock(m_state->mutex);
        m_state->lost = true;
    }
    return call;
}

void UvcDevice::SetTick(Tick tick, int periodMs)
{
    std::lock_guard lock(m_state->mutex);
    m_state->tick = std::move(tick);
    m_state->tickMs = periodMs;
    m_state->wake.notify_all();
}

UvcCall UvcDevice::GetOn(int fd, unsigned id)
{
    v4l2_control control{};
    control.id = id;
    const int error = Ioctl(fd, VIDIOC_G_CTRL, &control);
    return {error == 0, error, control.value};
}

UvcCall UvcDevice::SetOn(int fd, unsigned id, int value)
{
    v4l2_control control{};
    control.id = id;
    control.value = value;
    const int error = Ioctl(fd, VIDIOC_S_CTRL, &control);
    return {error == 0, error, value};
}

UvcCall UvcDevice::Get(unsigned id)
{
    return Call([id](int fd) { return GetOn(fd, id); });
}

UvcCall UvcDevice::Set(unsigned id, int value)
{
    return Call([id, value](int fd) { return SetOn(fd, id, value); });
}

std::optional<UvcIdentity> UvcDevice::QueryCap()
{
    auto identity = std::make_shared<UvcIdentity>();
    const UvcCall call = Call([identity](int fd) {
        v4l2_capability cap{};
        const int error = Ioctl(fd, VIDIOC_QUERYCAP, &cap);
        if (error == 0) {
            identity->driver.assign(reinterpret_cast<const char*>(cap.driver), strnlen(reinterpret_cast<const char*>(cap.driver), sizeof cap.driver));
            identity->card.assign(reinterpret_cast<const char*>(cap.card), strnlen(reinterpret_cast<const char*>(cap.card), sizeof cap.card));
            const unsigned caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
            identity->capture = (caps & V4L2_CAP_VIDEO_CAPTURE) != 0;
        }
        return UvcCall{error == 0, error, 0};
    });
    if (!call.ok)
        return std::nullopt;
    return *identity;
}

std::optional<UvcControl> UvcDevice::QueryControl(unsigned id)
{
    auto query = std::make_shared<v4l2_queryctrl>();
    query->id = id;
    const UvcCall call = Call([query](int fd) {
        const int error = Ioctl(fd, VIDIOC_QUERYCTRL, query.get());
        return UvcCall{error == 0, error, 0};
    });
    if (!call.ok || query->id != id || query->type != V4L2_CTRL_TYPE_INTEGER || (query->flags & V4L2_CTRL_FLAG_DISABLED)
        || query->maximum < query->minimum)
        return std::nullopt;
    return UvcControl{id, UvcRange{query->minimum, query->maximum, query->step > 0 ? query->step : 1}};
}

std::optional<std::vector<unsigned>> UvcDevice::ListControls()
{
    auto ids = std::make_shared<std::vector<unsigned>>();
    const UvcCall call = Call([ids](int fd) {
        v4l2_queryctrl query{};
        query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
        // A node that never ends its list is cut off: no camera has this many controls.
        for (int n = 0; n < 1024; ++n) {
            const int error = Ioctl(fd, VIDIOC_QUERYCTRL, &query);
            if (error == EINVAL)
                break;
            if (error != 0)
                return UvcCall{false, error, 0};
            ids->push_back(query.id);
            query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        }
        return UvcCall{true, 0, 0};
    });
    if (!call.ok)
        return std::nullopt;
    return *ids;
}
