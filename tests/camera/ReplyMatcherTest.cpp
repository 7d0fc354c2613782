// Which reply answers the link's request, on virtual time: the kinds and sockets, late and
// owed answers, the barrier, noise, the reply time-out and the one resend.
#include "camera/ReplyMatcher.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>

using Expect = ReplyMatcher::Expect;
using Bytes = std::vector<std::uint8_t>;
using namespace visca;

namespace {

constexpr DWORD kTimeoutMs = 400;

Frame Answer(const Bytes& payload)
{
    return InquiryReply(payload);
}

struct Request
{
    Expect expect;
    std::size_t length = 0;
};

} // namespace

TEST(ReplyMatcher, EachReplyIsTakenByTheRequestItAnswersAndNoOther)
{
    const Frame kRoll = Answer({1, 2, 3, 4}), kZoom = Answer({5, 6, 7, 8}), kStand = Answer({2});
    const Frame kVersion = Answer({0, 0x20, 0x05, 0x11, 0x02, 0x03, 0x02});
    const Frame kNotExecutable = ErrorReply(1, kErrorNotExecutable), kSyntax = ErrorReply(0, kErrorSyntax);
    const struct Row {
        const char* what;
        std::vector<Request> unanswered;  // earlier requests that timed out, oldest first
        Request now;                      // Expect::None: between requests
        std::vector<Frame> heard;
        bool barrierFirst, settled, ok;
        Bytes payload;
        bool owingAfter;
    } rows[] = {
        {"an ACK", {}, {Expect::Ack}, {Ack(1)}, false, true, true, {}, false},
        {"a completion before any ACK is noise", {}, {Expect::Completion}, {Completion(1)}, false, false, false, {}, true},
        {"the completion of the ACK's socket", {}, {Expect::Completion}, {Ack(2), Completion(1), Completion(2)}, false, true, true, {}, false},
        {"a second ACK is another command's", {}, {Expect::Completion}, {Ack(1), Ack(2), Completion(1)}, false, true, true, {}, false},
        {"an error of another socket", {}, {Expect::Completion}, {Ack(2), kNotExecutable}, false, false, false, {}, true},
        {"an error of socket 0", {}, {Expect::Completion}, {Ack(2), kSyntax}, false, true, false, {}, false},
        {"an error before the ACK", {}, {Expect::Completion}, {kNotExecutable}, false, true, false, {}, false},
        {"an inquiry's answer of its length", {}, {Expect::Inquiry, 4}, {kStand, kRoll}, false, true, true, {1, 2, 3, 4}, false},
        {"a version text", {}, {Expect::Inquiry, 0}, {Answer({1}), Answer({'V', '2'})}, false, true, true, {'V', '2'}, false},
        {"a second answer does not replace the first", {}, {Expect::Inquiry, 4}, {kRoll, kZoom}, false, true, true, {1, 2, 3, 4}, false},
        {"an inquiry's error", {}, {Expect::Inquiry, 4}, {kNotExecutable}, false, true, false, {}, false},
        {"noise for a command", {}, {Expect::Ack}, {StandReport(2), Completion(1), kRoll, AddressSetReply(), InterfaceClearReply()},
         false, false, false, {}, true},
        {"the address set's reply", {}, {Expect::AddressSet}, {Ack(1), InterfaceClearReply(), AddressSetReply()}, false, true, true, {}, false},
        {"the interface clear's reply", {}, {Expect::InterfaceClear}, {AddressSetReply(), InterfaceClearReply()}, false, true, true, {}, false},
        {"an unanswered address set owes nothing", {}, {Expect::AddressSet}, {}, false, false, false, {}, false},
        // Owed answers between requests.
        {"owed answers come in order", {{Expect::Inquiry, 4}, {Expect::Inquiry, 1}}, {Expect::None}, {kRoll, kStand},
         false, false, false, {}, false},
        {"an answer of the wrong length settles nothing", {{Expect::Inquiry, 4}, {Expect::Inquiry, 1}}, {Expect::None}, {kStand},
         false, false, false, {}, true},
        {"a command's debt is settled by no answer", {{Expect::Ack}}, {Expect::None}, {Ack(1), kRoll}, false, false, false, {}, true},
        {"an unanswered barrier's answer is owed too", {{Expect::Barrier, ReplyMatcher::kBarrierLength}}, {Expect::None}, {},
         false, false, false, {}, true},
        {"an owed version text", {{Expect::Inquiry, 0}}, {Expect::None}, {Answer({'V', '2'})}, false, false, false, {}, false},
        // A late answer is not the next request's, even of the same length.
        {"a late answer, then its own", {{Expect::Inquiry, 4}}, {Expect::Inquiry, 4}, {kRoll, kZoom}, true, true, true, {5, 6, 7, 8}, false},
        {"an answer of another length while owing", {{Expect::Inquiry, 1}}, {Expect::Inquiry, 4}, {kRoll}, true, false, false, {}, true},
        {"the address set needs no barrier", {{Expect::Ack}}, {Expect::AddressSet}, {AddressSetReply()}, false, true, true, {}, true},
        // The barrier.
        {"the barrier's answer clears every debt", {{Expect::Inquiry, 4}, {Expect::Completion}},
         {Expect::Barrier, ReplyMatcher::kBarrierLength}, {kRoll, Ack(1), kVersion}, false, true, true, {}, false},
        {"a late answer is not the barrier's", {{Expect::Inquiry, 4}, {Expect::Inquiry, 4}}, {Expect::Barrier, ReplyMatcher::kBarrierLength},
         {kRoll}, false, false, false, {}, true},
        {"a camera without the version inquiry", {{Expect::Ack}}, {Expect::Barrier, ReplyMatcher::kBarrierLength}, {kSyntax},
         false, true, true, {}, false},
        {"another error is no answer to the barrier", {{Expect::Ack}}, {Expect::Barrier, ReplyMatcher::kBarrierLength},
         {kNotExecutable}, false, false, false, {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ManualClock clock;
        ReplyMatcher matcher(clock, kTimeoutMs);
        for (const Request& r : row.unanswered) {
            matcher.Begin(r.expect, r.length);
            matcher.Sent();
            clock.Advance(kTimeoutMs);
            EXPECT_FALSE(matcher.End(false).answered);
        }
        if (row.now.expect != Expect::None) {
            EXPECT_EQ(matcher.NeedsBarrier(row.now.expect), row.barrierFirst);
            matcher.Begin(row.now.expect, row.now.length);
            matcher.Sent();
        }
        bool settledBy = false;
        for (const Frame& frame : row.heard)
            settledBy |= matcher.OnReply(ClassifyReply(frame));
        if (row.now.expect != Expect::None) {
            EXPECT_EQ(settledBy, row.settled);
            const ReplyMatcher::Outcome outcome = matcher.End(false);
            EXPECT_EQ(outcome.answered, row.settled);
            EXPECT_EQ(outcome.ok, row.ok);
            EXPECT_EQ(outcome.payload, row.payload);
        }
        EXPECT_EQ(matcher.NeedsBarrier(Expect::Inquiry), row.owingAfter);
    }
}

TEST(ReplyMatcher, ARequestWaitsItsTimeOutAndOnceMoreAfterAResend)
{
    const struct { DWORD pass; bool resend; DWORD left; bool mayResend; } steps[] = {
        {0, false, kTimeoutMs, false}, {kTimeoutMs - 1, false, 1, false}, {1, false, 0, true},
        {30, true, kTimeoutMs, false}, {kTimeoutMs, false, 0, false}};
    for (bool answerLate : {false, true}) {
        SCOPED_TRACE(answerLate);
        ManualClock clock(0xFFFFFF00u);  // the clock wraps during the waits
        ReplyMatcher matcher(clock, kTimeoutMs);
        matcher.Begin(Expect::Inquiry, 1);
        EXPECT_FALSE(matcher.MayResend());  // not sent yet
        matcher.Sent();
        for (const auto& s : steps) {
            clock.Advance(s.pass);
            if (s.resend)
                matcher.Sent();
            EXPECT_EQ(matcher.WaitLeftMs(), s.left);
            EXPECT_EQ(matcher.MayResend(), s.mayResend);
        }
        // An answer to the first send that comes only now is still this request's.
        if (answerLate) {
            EXPECT_TRUE(matcher.OnReply(ClassifyReply(Answer({3}))));
        }
        EXPECT_EQ(matcher.End(false).payload, answerLate ? Bytes{3} : Bytes{});
        EXPECT_EQ(matcher.NeedsBarrier(Expect::Inquiry), !answerLate);
    }
}

TEST(ReplyMatcher, AnsweredRequestsWaitNoLongerAndEveryUnderstoodReplyEndsTheQuiet)
{
    ManualClock clock(1000);
    ReplyMatcher matcher(clock, kTimeoutMs);
    matcher.Begin(Expect::Ack, 0);
    matcher.Sent();
    clock.Advance(100);
    EXPECT_EQ(matcher.QuietMs(), 100u);
    EXPECT_TRUE(matcher.OnReply(ClassifyReply(Ack(1))));
    EXPECT_EQ(matcher.WaitLeftMs(), 0u);
    EXPECT_FALSE(matcher.MayResend());
    matcher.End(false);

    const struct { Frame frame; bool heard; } replies[] = {
        {Frame{0x90, 0x99, 0xFF}, false}, {StandReport(3), true}, {Completion(4), true}, {Answer({1}), true}};
    for (const auto& r : replies) {
        clock.Advance(250);
        matcher.OnReply(ClassifyReply(r.frame));
        EXPECT_EQ(matcher.QuietMs(), r.heard ? 0u : 250u) << ToHex(r.frame);
    }
    for (bool abandoned : {true, false}) {
        matcher.Begin(Expect::Inquiry, 1);
        matcher.Sent();
        clock.Advance(kTimeoutMs);
        matcher.End(abandoned);  // abandoned: the link closes, the camera missed nothing
        EXPECT_EQ(matcher.NeedsBarrier(Expect::Inquiry), !abandoned);
    }
    matcher.Reset();  // a new link: as if just heard, and nothing owed
    EXPECT_EQ(matcher.QuietMs(), 0u);
    EXPECT_FALSE(matcher.NeedsBarrier(Expect::Inquiry));
}
