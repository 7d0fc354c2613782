#include "tracking/UsbLibraryFilter.h"

bool UsbLibraryFilter::Accept(BYTE value, DWORD now)
{
    if (value != m_last) {
        m_last = value;
        m_changed = now;
        m_posted = value != 255;
        return m_posted;
    }
    if (!m_posted && static_cast<DWORD>(now - m_changed) >= kSilenceMs) {
        m_posted = true;
        return true;
    }
    return false;
}

int UsbVersionValue(const char* version)
{
    int value = 0;
    for (int i = 0; i < 5; ++i) {
        const char c = version[i];
        if (c >= '0' && c <= '9')
            value = value * 10 + (c - '0');
    }
    return value;
}
