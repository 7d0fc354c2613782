#include "camera/ReplyMatcher.h"

#include <limits>

namespace {

bool IsVersionText(const std::vector<std::uint8_t>& payload)
{
    if (payload.empty() || payload.size() > 8)
        return false;
    for (std::uint8_t c : payload)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// What an unanswered command leaves owed: its ACK, completion or error may still come, and
// no inquiry answer has its length.
constexpr std::size_t kOwedCommand = std::numeric_limits<std::size_t>::max();

// Whether payload has the form of the answer to an inquiry expecting payloadLength bytes
// (0: a version text).
bool Fits(const std::vector<std::uint8_t>& payload, std::size_t payloadLength)
{
    return payloadLength == 0 ? IsVersionText(payload) : payload.size() == payloadLength;
}

} // namespace

ReplyMatcher::ReplyMatcher(CClock& clock, DWORD replyTimeoutMs)
    : m_clock(clock), m_replyTimeoutMs(replyTimeoutMs)
{
    Reset();
}

void ReplyMatcher::Reset()
{
    End(true);
    m_owed.clear();
    m_heardAt = m_clock.GetTickCount();
}

bool ReplyMatcher::NeedsBarrier(Expect expect) const
{
    // The link's start (address set, interface clear) has answers nothing else has.
    const bool confusable = expect == Expect::Inquiry || expect == Expect::Ack || expect == Expect::Completion;
    return confusable && !m_owed.empty();
}

void ReplyMatcher::Begin(Expect expect, std::size_t payloadLength)
{
    End(true);
    m_expect = expect;
    m_payloadLength = payloadLength;
}

void ReplyMatcher::Sent()
{
    ++m_sends;
    m_sentAt = m_clock.GetTickCount();
}

DWORD ReplyMatcher::WaitLeftMs() const
{
    if (m_done || m_sends == 0)
        return 0;
    const DWORD waited = m_clock.GetTickCount() - m_sentAt;  // wraps like the clock
    return waited >= m_replyTimeoutMs ? 0 : m_replyTimeoutMs - waited;
}

bool ReplyMatcher::MayResend() const
{
    return !m_done && m_sends == 1 && WaitLeftMs() == 0;
}

bool ReplyMatcher::OnReply(const visca::Reply& reply)
{
    using Kind = visca::Reply::Kind;
    if (reply.kind == Kind::Unknown)
        return false;
    m_heardAt = m_clock.GetTickCount();
    if (m_done || m_expect == Expect::None) {
        if (reply.kind == Kind::InquiryData && !m_owed.empty() && Fits(reply.payload, m_owed.front()))
            m_owed.pop_front();  // a late answer between requests settles its debt
        return false;
    }
    switch (reply.kind) {
    case Kind::Ack:
        if (m_expect == Expect::Ack) {
            m_done = m_ok = true;
        } else if (m_expect == Expect::Completion && m_socket < 0) {
            m_socket = reply.socket;
        }
        break;
    case Kind::Completion:
        if (m_expect == Expect::Completion && m_socket >= 0 && m_socket == reply.socket)
            m_done = m_ok = true;
        break;
    case Kind::Error:
        // A syntax or length error carries socket 0; otherwise it answers our socket.
        if (m_expect == Expect::Ack || m_expect == Expect::Inquiry
            || (m_expect == Expect::Completion && (m_socket < 0 || reply.socket == m_socket || reply.socket == 0))) {
            m_done = true;
            m_ok = false;
        } else if (m_expect == Expect::Barrier && reply.errorCode == visca::kErrorSyntax) {
            m_done = m_ok = true;  // a camera without the version inquiry: answered all the same
        }
        break;
    case Kind::InquiryData:
        if (m_expect == Expect::Barrier) {
            m_done = m_ok = reply.payload.size() == kBarrierLength;
        } else if (m_expect == Expect::Inquiry && m_owed.empty() && Fits(reply.payload, m_payloadLength)) {
            m_done = m_ok = true;
            m_payload = reply.payload;
        } else if (!m_owed.empty() && Fits(reply.payload, m_owed.front())) {
            m_owed.pop_front();  // a late answer, taken for nothing
        }
        break;
    case Kind::AddressSetDone:
        if (m_expect == Expect::AddressSet)
            m_done = m_ok = true;
        break;
    case Kind::InterfaceCleared:
        if (m_expect == Expect::InterfaceClear)
            m_done = m_ok = true;
        break;
    default:
        break;
    }
    return m_done;
}

ReplyMatcher::Outcome ReplyMatcher::End(bool abandoned)
{
    Outcome outcome;
    outcome.answered = m_done;
    outcome.ok = m_done && m_ok;
    if (outcome.ok)
        outcome.payload = std::move(m_payload);
    const Expect expect = m_expect;
    const std::size_t payloadLength = m_payloadLength;

    m_expect = Expect::None;
    m_payloadLength = 0;
    m_socket = -1;
    m_done = m_ok = false;
    m_payload.clear();
    m_sends = 0;

    if (outcome.answered) {
        if (expect == Expect::Barrier)
            m_owed.clear();  // everything older has come or will never come
    } else if (!abandoned) {
        if (expect == Expect::Inquiry || expect == Expect::Barrier)
            m_owed.push_back(payloadLength);
        else if (expect == Expect::Ack || expect == Expect::Completion)
            m_owed.push_back(kOwedCommand);
    }
    return outcome;
}

DWORD ReplyMatcher::QuietMs() const
{
    return m_clock.GetTickCount() - m_heardAt;
}
