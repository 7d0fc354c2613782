#include "platform/Clock.h"

#include "platform/StopWait.h"

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
    // One wake-up for the whole period; RaiseStop cuts it short.
    return WaitForStop(stop, std::chrono::milliseconds(ms));
}

CClock& SystemClock()
{
    static CSteadyClock clock;
    return clock;
}
