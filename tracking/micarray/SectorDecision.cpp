#include "tracking/micarray/SectorDecision.h"

#include <cmath>

int SectorOfAngle(double angleDeg, double zeroDeg)
{
    double a = std::fmod(angleDeg - zeroDeg + 30.0, 360.0);
    if (a < 0)
        a += 360.0;
    return static_cast<int>(a / 60.0) % 6;
}

std::uint8_t SectorDecision::Next(const DoaDecision& d)
{
    if (d.voiced) {
        m_lastVoiceS = d.timeS;
        m_sector = static_cast<std::uint8_t>(SectorOfAngle(d.angleDeg, m_zero));
    } else if (d.timeS - m_lastVoiceS >= kSilenceS) {
        m_sector = 255;
    }
    return m_sector;
}
