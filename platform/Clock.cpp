#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

DWORD CSteadyClock::GetTickCount()
{
    using namespace std::chrono;
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CSteadyClock::Sleep(DWORD ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool CSteadyClock::SleepUnless(DWORD ms, const std::atomic<int>& stop)
{
    // Slices short enough that a stop request is seen within a few milliseconds.
    constexpr DWORD slice = 5;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stop.load()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(slice, left)));
    }
    return true;
}

CClock& SystemClock()
{
    static CSteadyClock clock;
    return clock;
}
