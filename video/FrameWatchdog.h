#pragma once
// The rule that keeps the live picture from freezing silently: a preview that shows no
// first frame, or no new frame, for the time-out is restarted once; when it stalls again
// it is given up (the window falls back to NO VIDEO). Time is handed in, in milliseconds.
class FrameWatchdog
{
public:
    enum class Action { None, Restart, GiveUp };

    static constexpr long long kTimeoutMs = 3000;

    // The preview starts (or restarts) now: the first frame is due within the time-out.
    void Start(long long nowMs) { m_lastMs = nowMs; }
    void Frame(long long nowMs) { m_lastMs = nowMs; }
    // What to do now; Restart only once, GiveUp once, and nothing after that.
    Action Check(long long nowMs);
    bool GaveUp() const { return m_gaveUp; }

private:
    long long m_lastMs = 0;
    bool m_restarted = false;
    bool m_gaveUp = false;
};
