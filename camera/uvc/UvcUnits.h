#pragma once
// Controller units <-> a USB camera's V4L2 control values. The ranges come from the
// camera (VIDIOC_QUERYCTRL), never from a table: pan and tilt in arc seconds (positive
// right and up, as VISCA's positive pan), zoom between the control's two ends. A value
// sent is clamped and put on the camera's step; a value read outside the range is not
// believed.
#include <optional>

struct UvcRange
{
    int min = 0, max = 0, step = 1;
    bool operator==(const UvcRange&) const = default;
};

namespace uvc_units {

constexpr int kArcSecondsPerDegree = 3600;

// value clamped into range and rounded to the nearest value min + k * step within it.
int OnStep(long long value, const UvcRange& range);

// Pan 0..360 (the centre at 180), tilt in degrees, zoom 0..180 (wide..tele); reversed
// turns the axis the other way (a ceiling mount).
int PanToValue(int pan, const UvcRange& range, bool reversed);
int TiltToValue(int tilt, const UvcRange& range, bool reversed);
int ZoomToValue(int zoom, const UvcRange& range);
std::optional<int> PanFromValue(int value, const UvcRange& range, bool reversed);
std::optional<int> TiltFromValue(int value, const UvcRange& range, bool reversed);
std::optional<int> ZoomFromValue(int value, const UvcRange& range);

} // namespace uvc_units
