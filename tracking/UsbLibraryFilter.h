#pragma once
// Filter of the QVT-90UX library (source kind 2): a new talker direction is posted at once;
// silence (255) only after it has lasted 4,750 ms, so short pauses do not move the camera.
#include "platform/WinTypes.h"

class UsbLibraryFilter
{
public:
    static constexpr DWORD kSilenceMs = 4750;

    // Feeds one reading taken at now (GetTickCount); true when value is to be posted.
    bool Accept(BYTE value, DWORD now);

private:
    BYTE m_last = 254;
    DWORD m_changed = 0;
    bool m_posted = false;
};

// The speakerphone's version as a number: the decimal digits among the first five bytes of
// the version text ("1.32" gives 132); other bytes, the terminating NUL included, are skipped.
int UsbVersionValue(const char* version);

// Talker directions are reported from version 1.32 on.
constexpr int kUsbMinimumVersion = 132;
