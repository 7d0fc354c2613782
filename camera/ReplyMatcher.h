#pragma once
// Which reply answers the link's request, and how long the request waits for it: the
// camera link's rules without its threads and port, so that they run on virtual time.
// One request at a time: Begin, Sent (again for a resend), the replies heard meanwhile,
// End. Not thread-safe: the link calls it under its own lock.
//
// Inquiry answers name no inquiry, and several have the same length (zoom and roll). So
// once a request went unanswered, its answer may still come and must not be taken for
// the next one: it is owed. While answers are owed, the next inquiry or command first
// sends a barrier, an inquiry whose answer nothing else has (the standard version
// inquiry); the camera answers in order, so once the barrier's answer is in, nothing older
// can follow. Owed answers that arrive between requests settle their debt on their own.
#include "camera/ViscaReply.h"
#include "platform/Clock.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class ReplyMatcher
{
public:
    enum class Expect { None, Ack, Completion, Inquiry, Barrier, AddressSet, InterfaceClear };

    // The standard version inquiry's answer (vendor, model, ROM version, sockets): a length
    // no inquiry of the library expects, so it marks the barrier's answer.
    static constexpr std::size_t kBarrierLength = 7;

    // Every wait takes replyTimeoutMs on clock.
    ReplyMatcher(CClock& clock, DWORD replyTimeoutMs);

    // A new link: nothing asked, nothing owed, the camera heard now.
    void Reset();

    // Whether a request expecting expect must send the barrier first: an older answer could
    // be taken for its own.
    bool NeedsBarrier(Expect expect) const;

    // A request is about to go out: from now on the replies are matched against it.
    // payloadLength: the inquiry answer's length, 0 for a version text of 1..8 printable
    // characters.
    void Begin(Expect expect, std::size_t payloadLength);
    // It went out (or out again): its wait of the reply time-out starts now.
    void Sent();
    // Takes a frame from the camera, as classified; Unknown ones are skipped. True when it
    // settled the request.
    bool OnReply(const visca::Reply& reply);

    bool Settled() const { return m_done; }
    // What is left of the request's wait; 0 when settled or its time is up.
    DWORD WaitLeftMs() const;
    // Its wait ran out unanswered after the first send: a transport that numbers its
    // messages sends it once more (a datagram can be lost on the way).
    bool MayResend() const;

    struct Outcome
    {
        bool answered = false;  // a reply settled it, an error included
        bool ok = false;        // ... and it was the answer wanted
        std::vector<std::uint8_t> payload;
    };
    // Ends the request. An unanswered one leaves its answer owed, unless abandoned (the
    // link closes: the camera missed nothing); an answered barrier clears every debt.
    Outcome End(bool abandoned);

    // Since the camera last sent a reply the link understands.
    DWORD QuietMs() const;

private:
    CClock& m_clock;
    const DWORD m_replyTimeoutMs;

    Expect m_expect = Expect::None;
    std::size_t m_payloadLength = 0;
    int m_socket = -1;  // of the ACK of a command that waits for its completion
    bool m_done = false;
    bool m_ok = false;
    std::vector<std::uint8_t> m_payload;
    int m_sends = 0;
    DWORD m_sentAt = 0;

    // The answers' lengths of unanswered inquiries (or the mark of a command), oldest first.
    std::deque<std::size_t> m_owed;
    DWORD m_heardAt = 0;
};
