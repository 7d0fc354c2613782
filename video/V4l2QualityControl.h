#pragma once
// The quality through the V4L2 JPEG compression quality control of a capture node. Devices
// that compress to JPEG in hardware may offer it; UVC webcams usually do not.
#include "video/VideoQualityControl.h"

#include <memory>
#include <string>

class V4l2QualityControl final : public VideoQualityControl
{
public:
    // The control of node, or null when the node cannot be opened or offers no usable
    // quality control.
    static std::unique_ptr<V4l2QualityControl> Open(const std::string& node);
    ~V4l2QualityControl() override;

    std::optional<double> GetQuality() override;
    bool PutQuality(double quality) override;

private:
    V4l2QualityControl(int fd, int minimum, int maximum, int step);

    int m_fd;
    int m_minimum;
    int m_maximum;
    int m_step;
};

// The control's value as a quality 0.0..1.0 over its range minimum..maximum.
double ControlValueToQuality(int value, int minimum, int maximum);
// The control value for a quality: the nearest step of the range, within the range.
int QualityToControlValue(double quality, int minimum, int maximum, int step);
