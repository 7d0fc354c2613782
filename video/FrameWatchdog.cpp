#include "video/FrameWatchdog.h"

FrameWatchdog::Action FrameWatchdog::Check(long long nowMs)
{
    if (m_gaveUp || nowMs - m_lastMs < kTimeoutMs)
        return Action::None;
    if (!m_restarted) {
        m_restarted = true;
        m_lastMs = nowMs;
        return Action::Restart;
    }
    m_gaveUp = true;
    return Action::GiveUp;
}
