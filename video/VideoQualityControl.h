#pragma once
// The camera's video compression quality, as the capture pin offers it: 0.0 (smallest
// stream) to 1.0 (best picture).
#include <optional>

class VideoQualityControl
{
public:
    virtual ~VideoQualityControl() = default;
    // The current quality; nothing when the device did not answer.
    virtual std::optional<double> GetQuality() = 0;
    // Sets the quality at once; false when the device refused it.
    virtual bool PutQuality(double quality) = 0;
};

// The percentage shown for a quality: truncated toward zero and limited to 0..100, or
// nothing when the value is no number at all.
std::optional<int> QualityToPercent(double quality);
