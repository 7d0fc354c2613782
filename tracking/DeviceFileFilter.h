#pragma once
// Filter of the QVT-40S device file (source kind 1): a direction must hold for 500 ms
// before it is posted, and it is posted once per change, 255 included.
#include "platform/WinTypes.h"

class DeviceFileFilter
{
public:
    static constexpr DWORD kHoldMs = 500;

    // Feeds one reading taken at now (GetTickCount); true when value is to be posted.
    bool Accept(BYTE value, DWORD now);

private:
    BYTE m_last = 254;  // matches no real reading, so the first one counts as a change
    DWORD m_changed = 0;
    bool m_posted = false;
};
