#pragma once
// Posts a direction only when it differs from the last one posted. The worker's first post
// is 255, so the filter starts from 255 and a source that already reports silence adds
// nothing to it.
#include "platform/WinTypes.h"

class ChangeFilter
{
public:
    // True when value is to be posted; it then becomes the last posted.
    bool Accept(BYTE value)
    {
        if (value == m_lastPosted)
            return false;
        m_lastPosted = value;
        return true;
    }

    BYTE LastPosted() const { return m_lastPosted; }

private:
    BYTE m_lastPosted = 255;
};
