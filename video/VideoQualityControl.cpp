#include "video/VideoQualityControl.h"

#include <cmath>

std::optional<int> QualityToPercent(double quality)
{
    if (std::isnan(quality))
        return std::nullopt;
    // The quality is truncated, not rounded, but a percentage that went through a double
    // (0.29 * 100 is 28.999...) must come back as itself: allow for the representation error.
    const double scaled = quality * 100.0;
    if (scaled <= 0.0)
        return 0;
    if (scaled >= 100.0)
        return 100;
    return static_cast<int>(std::trunc(scaled + 1e-9));
}
