#include "camera/uvc/UvcUnits.h"

#include <algorithm>
#include <cmath>

namespace uvc_units {

namespace {

bool Inside(int value, const UvcRange& r) { return value >= r.min && value <= r.max; }

long long RoundDiv(long long num, long long den)
{
    return num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
}

} // namespace

int OnStep(long long value, const UvcRange& r)
{
    if (r.max <= r.min)
        return r.min;
    const long long step = std::max(1, r.step);
    const long long clamped = std::clamp<long long>(value, r.min, r.max);
    long long k = RoundDiv(clamped - r.min, step);
    // The top end need not lie on the step: the last step inside the range.
    while (r.min + k * step > r.max)
        --k;
    return static_cast<int>(r.min + k * step);
}

int PanToValue(int pan, const UvcRange& range, bool reversed)
{
    const long long degrees = std::clamp(pan, 0, 360) - 180;
    return OnStep((reversed ? -degrees : degrees) * kArcSecondsPerDegree, range);
}

int TiltToValue(int tilt, const UvcRange& range, bool reversed)
{
    const long long degrees = std::clamp(tilt, -90, 90);
    return OnStep((reversed ? -degrees : degrees) * kArcSecondsPerDegree, range);
}

int ZoomToValue(int zoom, const UvcRange& range)
{
    const long long span = static_cast<long long>(range.max) - range.min;
    return OnStep(range.min + RoundDiv(std::clamp(zoom, 0, 180) * span, 180), range);
}

std::optional<int> PanFromValue(int value, const UvcRange& range, bool reversed)
{
    if (!Inside(value, range))
        return std::nullopt;
    const int degrees = static_cast<int>(RoundDiv(value, kArcSecondsPerDegree));
    return 180 + (reversed ? -degrees : degrees);
}

std::optional<int> TiltFromValue(int value, const UvcRange& range, bool reversed)
{
    if (!Inside(value, range))
        return std::nullopt;
    const int degrees = static_cast<int>(RoundDiv(value, kArcSecondsPerDegree));
    return reversed ? -degrees : degrees;
}

std::optional<int> ZoomFromValue(int value, const UvcRange& range)
{
    if (!Inside(value, range) || range.max <= range.min)
        return std::nullopt;
    return static_cast<int>(RoundDiv((static_cast<long long>(value) - range.min) * 180, static_cast<long long>(range.max) - range.min));
}

} // namespace uvc_units
