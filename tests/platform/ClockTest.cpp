#include "platform/Clock.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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
        stop = 1;
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
