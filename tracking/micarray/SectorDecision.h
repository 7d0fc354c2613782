#pragma once
// From the direction finder's decisions to the sector the source reports: a heard angle
// gives its 60-degree sector (sector k covers 60k - 30 to 60k + 30 after the angle of
// direction 0 is taken off); a short pause keeps the sector, so the camera does not leave a
// talker between two words; sustained silence gives 255.
#include "tracking/micarray/DirectionFinder.h"

#include <cstdint>

// 0..5
int SectorOfAngle(double angleDeg, double zeroDeg);

class SectorDecision
{
public:
    static constexpr double kSilenceS = 1.5;

    explicit SectorDecision(double zeroDeg) : m_zero(zeroDeg) {}

    // The sector for this decision: 0..5, or 255 while nobody has been heard for kSilenceS.
    std::uint8_t Next(const DoaDecision& d);

private:
    double m_zero;
    std::uint8_t m_sector = 255;
    double m_lastVoiceS = -1e9;
};
