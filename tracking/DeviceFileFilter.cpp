#include "tracking/DeviceFileFilter.h"

bool DeviceFileFilter::Accept(BYTE value, DWORD now)
{
    if (value != m_last) {
        m_last = value;
        m_changed = now;
        m_posted = false;
        return false;
    }
    // Unsigned difference, so the hold still works across the tick counter's wrap.
    if (!m_posted && static_cast<DWORD>(now - m_changed) >= kHoldMs) {
        m_posted = true;
        return true;
    }
    return false;
}
