#include "camera/CameraLink.h"

#include "camera/SerialPort.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

#include <QMetaObject>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool IsVersionText(const std::vector<std::uint8_t>& payload)
{
    if (payload.empty() || payload.size() > 8)
        return false;
    for (std::uint8_t c : payload)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// Whether payload has the form of the answer to an inquiry expecting payloadLength bytes
// (0: a version text).
bool Fits(const std::vector<std::uint8_t>& payload, std::size_t payloadLength)
{
    return payloadLength == 0 ? IsVersionText(payload) : payload.size() == payloadLength;
}

// The standard version inquiry answers vendor, model, ROM version and sockets: 7 bytes,
// a length no inquiry of the library expects.
constexpr std::size_t kBarrierLength = 7;

} // namespace

CameraLink::CameraLink(CameraLinkTiming timing)
    : m_timing(timing)
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
    Close();
    m_wnd = wnd;
    m_linkMsg = linkMsg;
    m_modeMsg = modeMsg;
    m_lastStand = -1;
    m_lost = false;
    m_linkUp = false;
    m_stop = false;
    m_misses = 0;
    m_owed.clear();
    driveBits = 0;
    m_splitter.Reset();

    m_fd = OpenSerialPort(port);
    if (m_fd < 0 || ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        Close();
        PostMessage(wnd, WM_CAMERA_COMM_ERROR, 0, 0);
        return false;
    }
    m_lastRxMs = NowMs();
    m_reader = std::thread(&CameraLink::ReaderLoop, this);

    bool answered = false;
    for (int i = 0; i < m_timing.openAttempts && !answered && !m_lost; ++i)
        answered = Transact(visca::AddressSet(), Expect::AddressSet, 0, nullptr);
    if (answered)
        answered = Transact(visca::InterfaceClear(), Expect::InterfaceClear, 0, nullptr);
    if (!answered || m_lost) {
        Close();
        PostMessage(wnd, WM_CAMERA_COMM_ERROR, 0, 0);
        return false;
    }
    m_linkUp = true;
    PostForThisLink(linkMsg, 1);
    if (auto stand = Inquire(visca::VendorInquiry(visca::kItemStand), 1); stand && (*stand)[0] <= 3)
        PostStand((*stand)[0]);
    m_keeper = std::thread(&CameraLink::KeeperLoop, this);
    return true;
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
    for (int* fd : {&m_fd, &m_wake[0], &m_wake[1]}) {
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
    if (expect == Expect::Inquiry) {
        bool owing;
        {
            std::lock_guard lock(m_stateMutex);
            owing = !m_owed.empty();
        }
        // An inquiry that cannot tell its answer from an older one is not asked.
        if (owing && !Exchange(visca::VersionInquiry(), Expect::Barrier, kBarrierLength, nullptr))
            return false;
    }
    return Exchange(frame, expect, payloadLength, payload);
}

bool CameraLink::Exchange(const visca::Frame& frame, Expect expect, std::size_t payloadLength,
                          std::vector<std::uint8_t>* payload)
{
    if (m_fd < 0 || m_lost || m_stop)
        return false;
    {
        std::lock_guard lock(m_stateMutex);
        m_pending = Pending{};
        m_pending.expect = expect;
        m_pending.payloadLength = payloadLength;
    }
    bool ok = WriteAll(m_fd, frame, m_timing.replyTimeoutMs);
    std::unique_lock lock(m_stateMutex);
    if (ok) {
        ok = m_replied.wait_for(lock, std::chrono::milliseconds(m_timing.replyTimeoutMs),
                                [this] { return m_pending.done || m_lost || m_stop; })
            && m_pending.done && m_pending.ok;
    }
    const bool answered = m_pending.done;
    if (ok && payload)
        *payload = std::move(m_pending.payload);
    m_pending = Pending{};
    if (answered) {
        m_misses = 0;
        if (expect == Expect::Barrier)
            m_owed.clear();  // everything older has come or will never come
        return ok;
    }
    if (m_stop)
        return false;  // woken by a close: the camera missed nothing
    if (expect == Expect::Inquiry || expect == Expect::Barrier)
        m_owed.push_back(payloadLength);
    const bool lose = m_linkUp && ++m_misses >= m_timing.missesForLinkLoss;
    lock.unlock();
    if (lose)
        LinkLost();
    return false;
}

void CameraLink::OnFrame(const visca::Frame& frame)
{
    using Kind = visca::Reply::Kind;
    const visca::Reply reply = visca::ClassifyReply(frame);
    if (reply.kind == Kind::Unknown)
        return;
    m_lastRxMs = NowMs();
    if (reply.kind == Kind::StandReport) {
        PostStand(reply.stand);
        return;
    }
    std::lock_guard lock(m_stateMutex);
    Pending& p = m_pending;
    if (p.done || p.expect == Expect::None) {
        if (reply.kind == Kind::InquiryData && !m_owed.empty() && Fits(reply.payload, m_owed.front()))
            m_owed.pop_front();  // a late answer between requests settles its debt
        return;
    }
    switch (reply.kind) {
    case Kind::Ack:
        if (p.expect == Expect::Ack) {
            p.done = p.ok = true;
        } else if (p.expect == Expect::Completion && p.socket < 0) {
            p.socket = reply.socket;
        }
        break;
    case Kind::Completion:
        if (p.expect == Expect::Completion && p.socket >= 0 && p.socket == reply.socket)
            p.done = p.ok = true;
        break;
    case Kind::Error:
        // A syntax or length error carries socket 0; otherwise it answers our socket.
        if (p.expect == Expect::Ack || p.expect == Expect::Inquiry
            || (p.expect == Expect::Completion && (p.socket < 0 || reply.socket == p.socket || reply.socket == 0))) {
            p.done = true;
            p.ok = false;
        } else if (p.expect == Expect::Barrier && reply.errorCode == visca::kErrorSyntax) {
            p.done = p.ok = true;  // a camera without the version inquiry: answered all the same
        }
        break;
    case Kind::InquiryData:
        if (p.expect == Expect::Barrier) {
            p.done = p.ok = reply.payload.size() == kBarrierLength;
        } else if (p.expect == Expect::Inquiry && m_owed.empty() && Fits(reply.payload, p.payloadLength)) {
            p.done = p.ok = true;
            p.payload = reply.payload;
        } else if (!m_owed.empty() && Fits(reply.payload, m_owed.front())) {
            m_owed.pop_front();  // a late answer, taken for nothing
        }
        break;
    case Kind::AddressSetDone:
        if (p.expect == Expect::AddressSet)
            p.done = p.ok = true;
        break;
    case Kind::InterfaceCleared:
        if (p.expect == Expect::InterfaceClear)
            p.done = p.ok = true;
        break;
    default:
        break;
    }
    if (p.done)
        m_replied.notify_all();
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
    QMetaObject::invokeMethod(
        m_wnd,
        [wnd = m_wnd, msg, wParam, generation = m_generation, sentFor = m_generation->load()] {
            if (generation->load() == sentFor)
                SendMessage(wnd, msg, wParam, 0);
        },
        Qt::QueuedConnection);
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
    std::uint8_t buf[512];
    while (!m_stop) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        const int n = ::poll(fds, 2, 500);
        if (n < 0 && errno != EINTR)
            break;
        if (m_stop)
            break;
        if (fds[0].revents & POLLIN) {
            const ssize_t got = ::read(m_fd, buf, sizeof buf);
            if (got > 0) {
                m_splitter.Feed({buf, static_cast<size_t>(got)}, [this](const visca::Frame& f) { OnFrame(f); });
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
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

void CameraLink::KeeperLoop()
{
    std::unique_lock lock(m_stopMutex);
    while (!m_stop && !m_lost) {
        m_stopSignal.wait_for(lock, std::chrono::milliseconds(m_timing.keepAliveMs / 2 + 1));
        if (m_stop || m_lost)
            break;
        if (NowMs() - m_lastRxMs < m_timing.keepAliveMs)
            continue;
        lock.unlock();
        const int before = m_lastStand;
        if (auto stand = Inquire(visca::VendorInquiry(visca::kItemStand), 1); stand && (*stand)[0] <= 3) {
            // A report lost in noise still reaches the controller this way.
            if ((*stand)[0] != before)
                PostStand((*stand)[0]);
        }
        lock.lock();
    }
}
