#include "camera/CameraLink.h"

#include "camera/CameraConnection.h"
#include "camera/LinkPost.h"
#include "platform/Clock.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

CameraLink::CameraLink(CameraLinkTiming timing)
    : m_timing(timing), m_matcher(SystemClock(), static_cast<DWORD>(timing.replyTimeoutMs))
{
}

CameraLink::~CameraLink()
{
    Close();
}

bool CameraLink::IsUsable() const
{
    return m_fd >= 0 && m_linkUp && !m_lost;
}

bool CameraLink::Open(const std::string& port, HWND wnd, UINT linkMsg, UINT modeMsg)
{
    return Open(MakeTransport(CameraConnection{}, port), CameraLinkProfile{}, wnd, linkMsg, modeMsg);
}

bool CameraLink::Open(std::unique_ptr<CameraTransport> transport, const CameraLinkProfile& profile, HWND wnd,
                      UINT linkMsg, UINT modeMsg)
{
    Close();
    m_wnd = wnd;
    m_linkMsg = linkMsg;
    m_modeMsg = modeMsg;
    m_lastStand = -1;
    m_lost = false;
    m_linkUp = false;
    m_stop = false;
    driveBits = 0;
    m_profile = profile;
    m_openVersion.clear();
    m_openError.clear();
    m_transport = std::move(transport);

    if (!m_transport || !m_transport->Open(m_timing.replyTimeoutMs) || ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_openError = m_transport ? m_transport->Error() : "no port";
        Close();
        PostMessage(wnd, WM_CAMERA_COMM_ERROR, 0, 0);
        return false;
    }
    m_fd = m_transport->Fd();
    {
        std::lock_guard lock(m_stateMutex);
        m_matcher.Reset();
        m_misses = 0;
    }
    m_reader = std::thread(&CameraLink::ReaderLoop, this);

    if (!StartLink() || m_lost) {
        if (m_openError.empty())
            m_openError = "no answer";
        Close();
        PostMessage(wnd, WM_CAMERA_COMM_ERROR, 0, 0);
        return false;
    }
    m_linkUp = true;
    PostForThisLink(linkMsg, 1);
    if (!m_profile.vendorFrames)
        PostStand(m_profile.framingStand);
    else if (auto stand = Inquire(visca::VendorInquiry(visca::kItemStand), 1); stand && (*stand)[0] <= 3)
        PostStand((*stand)[0]);
    m_keeper = std::thread(&CameraLink::KeeperLoop, this);
    return true;
}

bool CameraLink::StartLink()
{
    bool answered = !m_profile.addressSet;
    for (int i = 0; i < m_timing.openAttempts && !answered && !m_lost; ++i)
        answered = Transact(visca::AddressSet(), Expect::AddressSet, 0, nullptr);
    if (answered && m_profile.addressSet)
        answered = Transact(visca::InterfaceClear(), Expect::InterfaceClear, 0, nullptr);
    if (!answered || m_profile.vendorFrames)
        return answered;
    // A standard camera: it is there when it answers the version inquiry.
    answered = false;
    for (int i = 0; i < m_timing.openAttempts && !answered && !m_lost; ++i) {
        std::vector<std::uint8_t> version;
        answered = Transact(visca::VersionInquiry(), Expect::Inquiry, 7, &version);
        if (answered)
            m_openVersion = version;
    }
    return answered;
}

visca::Frame CameraLink::Addressed(const visca::Frame& frame) const
{
    visca::Frame out = frame;
    if (!out.empty() && out[0] == visca::kCameraHeader)
        out[0] = static_cast<std::uint8_t>(0x80 | (m_profile.address & 0x07));
    return out;
}

void CameraLink::StopThreads()
{
    {
        std::lock_guard lock(m_stopMutex);
        m_stop = true;
    }
    m_stopSignal.notify_all();
    {
        std::lock_guard lock(m_stateMutex);
        m_replied.notify_all();
    }
    if (m_wake[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wake[1], &byte, 1);
    }
    if (m_keeper.joinable())
        m_keeper.join();
    if (m_reader.joinable())
        m_reader.join();
    // After the joins: whatever the threads posted carries the old generation.
    ++*m_generation;
}

void CameraLink::Close()
{
    // The keeper is joined, and the other requests come from the thread that closes, so
    // no request can be using the port when it is closed.
    StopThreads();
    if (m_transport)
        m_transport->Close();
    m_transport.reset();
    m_fd = -1;
    for (int* fd : {&m_wake[0], &m_wake[1]}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    m_linkUp = false;
}

bool CameraLink::Command(const visca::Frame& frame, Wait wait)
{
    return Transact(frame, wait == Wait::Ack ? Expect::Ack : Expect::Completion, 0, nullptr);
}

std::optional<std::vector<std::uint8_t>> CameraLink::Inquire(const visca::Frame& frame, std::size_t payloadLength)
{
    std::vector<std::uint8_t> payload;
    if (!Transact(frame, Expect::Inquiry, payloadLength, &payload))
        return std::nullopt;
    return payload;
}

bool CameraLink::Transact(const visca::Frame& frame, Expect expect, std::size_t payloadLength,
                          std::vector<std::uint8_t>* payload)
{
    std::lock_guard request(m_requestMutex);
    if (m_fd < 0 || m_lost || m_stop)
        return false;
    bool owing;
    {
        std::lock_guard lock(m_stateMutex);
        owing = m_matcher.NeedsBarrier(expect);
    }
    // A request that cannot tell its answer from an older one is not made: a late ACK or
    // error would be taken for its own.
    if (owing && !Exchange(visca::VersionInquiry(), Expect::Barrier, ReplyMatcher::kBarrierLength, nullptr))
        return false;
    return Exchange(frame, expect, payloadLength, payload);
}

bool CameraLink::Exchange(const visca::Frame& frame, Expect expect, std::size_t payloadLength,
                          std::vector<std::uint8_t>* payload)
{
    if (m_fd < 0 || m_lost || m_stop)
        return false;
    {
        std::lock_guard lock(m_stateMutex);
        m_matcher.Begin(expect, payloadLength);
    }
    const bool sent = m_transport->Send(Addressed(frame), m_timing.replyTimeoutMs);
    std::unique_lock lock(m_stateMutex);
    const auto settled = [this] { return m_matcher.Settled() || m_lost || m_stop; };
    if (sent) {
        m_matcher.Sent();
        while (!m_replied.wait_for(lock, std::chrono::milliseconds(m_matcher.WaitLeftMs()), settled)) {
            if (m_matcher.WaitLeftMs() > 0)
                continue;  // woke before the clock's time-out
            if (!m_matcher.MayResend())
                break;
            lock.unlock();
            const bool resent = m_transport->Resend(m_timing.replyTimeoutMs);
            lock.lock();
            if (!resent)
                break;
            m_matcher.Sent();
        }
    }
    ReplyMatcher::Outcome outcome = m_matcher.End(m_stop);
    if (outcome.answered) {
        m_misses = 0;
        const bool ok = sent && outcome.ok;
        if (ok && payload)
            *payload = std::move(outcome.payload);
        return ok;
    }
    if (m_stop)
        return false;  // woken by a close: the camera missed nothing
    const bool lose = m_linkUp && ++m_misses >= m_timing.missesForLinkLoss;
    lock.unlock();
    if (lose)
        LinkLost();
    return false;
}

void CameraLink::OnFrame(const visca::Frame& received)
{
    // Replies of camera x come as (x+8)0; seen as camera 1's, the rest of the link is the
    // same for every address. Another camera's replies are not ours.
    visca::Frame frame = received;
    const std::uint8_t ours = static_cast<std::uint8_t>((m_profile.address + 8) << 4);
    if (!frame.empty() && frame[0] != visca::kBroadcastHeader) {
        if (frame[0] != ours)
            return;
        frame[0] = visca::kReplyHeader;
    }
    const visca::Reply reply = visca::ClassifyReply(frame);
    {
        std::lock_guard lock(m_stateMutex);
        if (m_matcher.OnReply(reply))
            m_replied.notify_all();
    }
    if (reply.kind == visca::Reply::Kind::StandReport)
        PostStand(reply.stand);
}

void CameraLink::PostStand(int stand)
{
    if (stand < 0 || stand > 3)
        return;
    m_lastStand = stand;
    if (m_linkUp)
        PostForThisLink(m_modeMsg, static_cast<WPARAM>(stand));
}

void CameraLink::PostForThisLink(UINT msg, WPARAM wParam)
{
    if (!m_wnd || m_stop)
        return;
    PostForLink(m_wnd, msg, wParam, m_generation);
}

void CameraLink::LinkLost()
{
    if (m_lost.exchange(true))
        return;
    {
        // Under the lock, so a request about to wait cannot miss the wake-up.
        std::lock_guard lock(m_stateMutex);
        m_replied.notify_all();
    }
    if (m_linkUp)
        PostForThisLink(m_linkMsg, 0);
}

void CameraLink::ReaderLoop()
{
    while (!m_stop) {
        // No time-out: a close sets m_stop before it writes to the wake-up pipe, which stays
        // readable until the pipe is closed after the join, so the stop is never missed.
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        const int n = ::poll(fds, 2, -1);
        if (n < 0 && errno != EINTR)
            break;
        if (m_stop)
            break;
        if (fds[0].revents & POLLIN) {
            if (m_transport->Receive([this](const visca::Frame& f) { OnFrame(f); }))
                continue;
            LinkLost();  // end of file or a read error: the port went away
            break;
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            LinkLost();
            break;
        }
    }
}

long long CameraLink::QuietLeftMs()
{
    std::lock_guard lock(m_stateMutex);
    return static_cast<long long>(m_timing.keepAliveMs) - m_matcher.QuietMs();
}

void CameraLink::KeeperLoop()
{
    std::unique_lock lock(m_stopMutex);
    while (!m_stop && !m_lost) {
        // Asleep until the quiet time would end: each answer moves the end on.
        m_stopSignal.wait_for(lock, std::chrono::milliseconds(std::max(1LL, QuietLeftMs())));
        if (m_stop || m_lost)
            break;
        if (QuietLeftMs() > 0)
            continue;
        lock.unlock();
        const int before = m_lastStand;
        if (!m_profile.vendorFrames) {
            // No stand to ask: any answer shows the camera is still there.
            Inquire(visca::PanTiltInquiry(), m_profile.positionReplyLength);
        } else if (auto stand = Inquire(visca::VendorInquiry(visca::kItemStand), 1); stand && (*stand)[0] <= 3) {
            // A report lost in noise still reaches the controller this way.
            if ((*stand)[0] != before)
                PostStand((*stand)[0]);
        }
        lock.lock();
    }
}
