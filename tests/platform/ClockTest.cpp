#include "platform/Clock.h"
#include "platform/StopWait.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

TEST(Clock, SteadyClockSleepUnlessRunsItsCourseOrReturnsSoonAfterStop)
{
    CSteadyClock clock;
    std::atomic<int> stop{0};
    const DWORD before = clock.GetTickCount();
    EXPECT_FALSE(clock.SleepUnless(30, stop));
    EXPECT_GE(clock.GetTickCount() - before, 30u);

    const auto start = std::chrono::steady_clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        RaiseStop(stop);
    });
    EXPECT_TRUE(clock.SleepUnless(60000, stop));
    stopper.join();
    // Generous bound: the point is that a minute-long wait was cut short.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(Clock, ManualClockMovesOnlyWhenTold)
{
    ManualClock clock(0xFFFFFF00u);
    std::atomic<int> stop{0};
    clock.Sleep(0x80);
    EXPECT_EQ(clock.GetTickCount(), 0xFFFFFF80u);
    clock.SleepUnless(0x100, stop);  // wraps like GetTickCount
    EXPECT_EQ(clock.GetTickCount(), 0x80u);
    stop = 1;
    EXPECT_TRUE(clock.SleepUnless(1000, stop));
    EXPECT_EQ(clock.GetTickCount(), 0x80u);
}

TEST(StopWait, DescriptorWaitEndsOnDataTimeOrARaisedStop)
{
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    std::atomic<int> stop{0};
    short revents = 0;
    EXPECT_EQ(PollUnless(fds[0], POLLIN, stop, 20, &revents), StopWait::TimedOut);
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    EXPECT_EQ(PollUnless(fds[0], POLLIN, stop, -1, &revents), StopWait::Ready);
    EXPECT_TRUE(revents & POLLIN);
    char c;
    ASSERT_EQ(::read(fds[0], &c, 1), 1);
    for (int round = 0; round < 2; ++round) {  // the wake-up descriptor is drained for the next wait
        stop = 0;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            RaiseStop(stop);
        });
        EXPECT_EQ(PollUnless(fds[0], POLLIN, stop, -1), StopWait::Stopped);  // no limit: only the stop ends it
        stopper.join();
    }
    EXPECT_EQ(PollUnless(fds[0], POLLIN, stop, -1), StopWait::Stopped);  // already raised
    ::close(fds[0]);
    ::close(fds[1]);
}
