#include "sim/VirtualCamera.h"

#include "camera/CameraAnnouncement.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

VirtualCamera::VirtualCamera(VirtualCameraOptions options, TraceSink trace)
    : m_options(std::move(options))
    , m_trace(std::move(trace))
{
    m_model.version = m_options.version;
    m_model.stand = m_options.stand;
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wake[0] = m_wake[1] = -1;
    m_thread = std::thread(&VirtualCamera::Run, this);
}

VirtualCamera::~VirtualCamera()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        DetachLocked();
    }
    Wake();
    m_thread.join();
    for (int fd : m_wake)
        if (fd >= 0)
            ::close(fd);
}

void VirtualCamera::Emit(const std::string& line)
{
    if (m_trace)
        m_trace(line);
}

void VirtualCamera::Wake()
{
    if (m_wake[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wake[1], &byte, 1);
    }
}

bool VirtualCamera::Attach()
{
    bool ok;
    {
        std::lock_guard lock(m_mutex);
        m_goAwayAtMs = m_comeBackAtMs = -1;
        ok = AttachLocked();
    }
    Wake();
    return ok;
}

bool VirtualCamera::AttachLocked()
{
    if (m_attached)
        return true;
    if (m_options.pty) {
        if (!m_pty.Open())
            return false;
        if (!WriteCameraAnnouncement(m_pty.SlavePath())) {
            m_pty.Close();
            return false;
        }
    }
    std::string error;
    if (m_options.network.Any() && !m_net.Open(m_options.network, error)) {
        Emit("error: " + error);
        if (m_pty.IsOpen())
            RemoveCameraAnnouncement();
        m_pty.Close();
        return false;
    }
    m_attached = true;
    // A port taken as "any free port" stays the camera's over detach and attach, as a real
    // camera's address stays when it is switched off and on.
    if (m_options.network.Any())
        m_options.network = m_net.Bound();
    m_splitter.Reset();
    if (m_pty.IsOpen())
        Emit("attached port=" + m_pty.SlavePath());
    const NetworkPorts bound = m_net.Bound();
    for (auto [name, port] : {std::pair{"udp", bound.udp}, {"tcp", bound.tcp}, {"visca-ip", bound.viscaIp}})
        if (port >= 0)
            Emit(std::string("listening ") + name + " port=" + std::to_string(port));
    return true;
}

void VirtualCamera::Detach()
{
    {
        std::lock_guard lock(m_mutex);
        m_goAwayAtMs = m_comeBackAtMs = -1;
        DetachLocked();
    }
    Wake();
}

void VirtualCamera::DetachLocked()
{
    if (!m_attached)
        return;
    m_attached = false;
    if (m_pty.IsOpen())
        RemoveCameraAnnouncement();
    m_pty.Close();
    m_net.Close();
    m_delayed.clear();
    m_model.StopAll();
    Emit("detached");
}

bool VirtualCamera::IsAttached() const
{
    std::lock_guard lock(m_mutex);
    return m_attached;
}

NetworkPorts VirtualCamera::NetworkBound() const
{
    std::lock_guard lock(m_mutex);
    return m_attached ? m_net.Bound() : NetworkPorts{};
}

std::string VirtualCamera::PortPath() const
{
    std::lock_guard lock(m_mutex);
    return m_pty.SlavePath();
}

void VirtualCamera::SetStand(int stand)
{
    std::lock_guard lock(m_mutex);
    if (stand < 0 || stand > 3 || stand == m_model.stand)
        return;
    m_model.stand = stand;
    if (!m_options.generic)  // a standard camera has no stand to report
        Send(visca::StandReport(stand));
}

void VirtualCamera::SetVersion(const std::string& version)
{
    std::lock_guard lock(m_mutex);
    m_model.version = version;
}

void VirtualCamera::SetGarble(bool on)
{
    std::lock_guard lock(m_mutex);
    m_garble = on;
}

void VirtualCamera::SetMute(bool on)
{
    std::lock_guard lock(m_mutex);
    m_mute = on;
}

void VirtualCamera::SetReplyDelay(int ms)
{
    {
        std::lock_guard lock(m_mutex);
        m_replyDelayMs = std::max(0, ms);
    }
    Wake();
}

CameraModel VirtualCamera::Snapshot() const
{
    std::lock_guard lock(m_mutex);
    CameraModel copy = m_model;
    copy.Advance(NowMs());
    return copy;
}

void VirtualCamera::Send(const visca::Frame& bytes)
{
    const visca::Frame out = Noisy(bytes);
    if (out.empty())
        return;
    m_net.Broadcast(out, [this](NetworkEndpoints::Sender send) { Deliver(std::move(send)); });
    ToPty(out);
}

visca::Frame VirtualCamera::Noisy(const visca::Frame& bytes)
{
    if (m_mute)
        return {};
    visca::Frame out = bytes;
    if (m_garble) {
        // Noise of the same length with no header byte in it, so it never forms a frame.
        for (auto& byte : out) {
            const unsigned r = m_noise() % 0x81;
            byte = r == 0x80 ? 0xFF : static_cast<std::uint8_t>(r);
        }
    }
    return out;
}

void VirtualCamera::ToPty(visca::Frame out)
{
    if (!m_pty.IsOpen() || out.empty())
        return;
    Deliver([this, out = std::move(out)] {
        // Non-blocking: with nobody reading the port, replies are dropped rather than stall.
        if (m_pty.IsOpen())
            [[maybe_unused]] ssize_t n = ::write(m_pty.Master(), out.data(), out.size());
    });
}

void VirtualCamera::Deliver(NetworkEndpoints::Sender send)
{
    if (m_replyDelayMs > 0 || !m_delayed.empty()) {
        // Behind earlier delayed replies even when the delay was just ended: order holds.
        m_delayed.emplace_back(NowMs() + m_replyDelayMs, std::move(send));
        Wake();
        return;
    }
    send();
}

visca::Frame VirtualCamera::Serve(const visca::Frame& frame)
{
    ServerOutput out = m_server.Handle(frame, NowMs());
    for (const std::string& line : out.trace)
        Emit(line);
    if (out.restart) {
        m_pendingVersion = out.newVersion;
        // Leave the reply time to reach the controller before the port goes.
        m_goAwayAtMs = NowMs() + m_options.restartDelayMs;
    }
    return out.reply;
}

void VirtualCamera::SendDue(long long nowMs)
{
    while (!m_delayed.empty() && m_delayed.front().first <= nowMs) {
        const NetworkEndpoints::Sender send = std::move(m_delayed.front().second);
        m_delayed.pop_front();
        send();
    }
}

void VirtualCamera::Run()
{
    std::uint8_t buf[1024];
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        const long long now = NowMs();
        m_model.Advance(now);
        if (m_goAwayAtMs >= 0 && now >= m_goAwayAtMs) {
            m_goAwayAtMs = -1;
            Emit("restarting ms=" + std::to_string(m_options.restartMs));
            DetachLocked();
            m_model.version = m_pendingVersion;
            m_model.videoFormat = m_model.committedVideoFormat;
            m_comeBackAtMs = now + m_options.restartMs;
        }
        if (m_comeBackAtMs >= 0 && now >= m_comeBackAtMs) {
            m_comeBackAtMs = -1;
            AttachLocked();
        }
        SendDue(now);
        int timeout = m_model.Moving() ? 20 : 250;
        const long long nextReplyAt = m_delayed.empty() ? -1 : m_delayed.front().first;
        for (long long at : {m_goAwayAtMs, m_comeBackAtMs, nextReplyAt})
            if (at >= 0)
                timeout = static_cast<int>(std::max(0LL, std::min<long long>(timeout, at - now)));
        std::vector<pollfd> fds{{m_wake[0], POLLIN, 0}, {m_pty.Master(), POLLIN, 0}};
        m_net.AddPollFds(fds);
        lock.unlock();
        ::poll(fds.data(), fds.size(), timeout);
        lock.lock();
        if (fds[0].revents & POLLIN)
            while (::read(m_wake[0], buf, sizeof buf) > 0) {
            }
        if (!m_attached)
            continue;
        m_net.Service(fds, [this](const visca::Frame& frame) { return Noisy(Serve(frame)); },
                      [this](const std::string& line) { Emit(line); },
                      [this](NetworkEndpoints::Sender send) { Deliver(std::move(send)); });
        if (!m_pty.IsOpen() || fds[1].fd != m_pty.Master() || !(fds[1].revents & POLLIN))
            continue;
        const ssize_t got = ::read(m_pty.Master(), buf, sizeof buf);
        if (got <= 0)
            continue;
        m_splitter.Feed({buf, static_cast<size_t>(got)}, [this](const visca::Frame& frame) {
            ToPty(Noisy(Serve(frame)));
        });
    }
}
