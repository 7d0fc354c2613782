#include "sim/CameraModel.h"

#include "camera/ViscaUnits.h"

#include <algorithm>

namespace {

// Moves value by step, stopping at the ends; returns false when the motion has run into
// the end it heads for.
bool MoveWithin(double& value, double step, double max, double min = 0)
{
    value += step;
    if (step < 0 && value <= min) {
        value = min;
        return false;
    }
    if (step > 0 && value >= max) {
        value = max;
        return false;
    }
    return true;
}

} // namespace

void CameraModel::Advance(long long nowMs)
{
    if (lastAdvanceMs < 0 || nowMs < lastAdvanceMs) {
        lastAdvanceMs = nowMs;
        return;
    }
    const double seconds = (nowMs - lastAdvanceMs) / 1000.0;
    lastAdvanceMs = nowMs;
    if (panDirection && !MoveWithin(pan, panDirection * panSpeed * kPanDegreesPerSpeed * seconds, panMax, panMin))
        panDirection = 0;
    if (tiltDirection && !MoveWithin(tilt, tiltDirection * tiltSpeed * kTiltDegreesPerSpeed * seconds, tiltMax, tiltMin))
        tiltDirection = 0;
    if (zoomDirection && !MoveWithin(zoom, zoomDirection * kZoomUnitsPerSecond * seconds, visca_units::kZoomMax))
        zoomDirection = 0;
}

int CameraModel::PanTiltBits() const
{
    return (tiltDirection > 0 ? 8 : 0) | (tiltDirection < 0 ? 4 : 0) | (panDirection < 0 ? 2 : 0)
        | (panDirection > 0 ? 1 : 0);
}

int CameraModel::ZoomBits() const
{
    return (zoomDirection > 0 ? 16 : 0) | (zoomDirection < 0 ? 32 : 0);
}

int StandFromName(const std::string& name)
{
    static const char* const names[] = {"release", "upside", "ohp", "front"};
    for (int i = 0; i < 4; ++i)
        if (name == names[i])
            return i;
    return -1;
}

const char* StandName(int stand)
{
    static const char* const names[] = {"release", "upside", "ohp", "front"};
    return stand >= 0 && stand < 4 ? names[stand] : "";
}
