#pragma once
// Millisecond time and sleeping, handed to the code that has timing rules, so that tests
// run it on virtual time (a clock of their own) instead of waiting.
#include "platform/WinTypes.h"

#include <atomic>

class CClock
{
public:
    virtual ~CClock() = default;

    // Milliseconds since an arbitrary start; wraps like GetTickCount.
    virtual DWORD GetTickCount() = 0;

    virtual void Sleep(DWORD ms) = 0;

    // Sleeps up to ms, but returns as soon as stop is nonzero: waits that a stop request
    // must be able to cut short. Returns true when it returned because of stop. The real
    // clock wakes early only when stop is raised with RaiseStop (platform/StopWait.h).
    virtual bool SleepUnless(DWORD ms, const std::atomic<int>& stop) = 0;
};

// The real clock: a steady (monotonic) clock and real sleeps.
class CSteadyClock final : public CClock
{
public:
    DWORD GetTickCount() override;
    void Sleep(DWORD ms) override;
    bool SleepUnless(DWORD ms, const std::atomic<int>& stop) override;
};

// The process's real clock, for wiring in main(); code receives a CClock& instead of
// calling this.
CClock& SystemClock();
