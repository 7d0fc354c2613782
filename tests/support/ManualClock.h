#pragma once
// Virtual time for tests: time moves only when a test (or a sleep) moves it.
#include "platform/Clock.h"

#include <atomic>

class ManualClock final : public CClock
{
public:
    explicit ManualClock(DWORD start = 0) : m_now(start) {}

    DWORD GetTickCount() override { return m_now.load(); }
    void Sleep(DWORD ms) override { m_now += ms; }
    bool SleepUnless(DWORD ms, const std::atomic<int>& stop) override
    {
        if (stop.load())
            return true;
        m_now += ms;
        return stop.load() != 0;
    }

    void Advance(DWORD ms) { m_now += ms; }
    void Set(DWORD now) { m_now = now; }

private:
    std::atomic<DWORD> m_now;
};
