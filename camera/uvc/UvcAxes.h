#pragma once
// Which of a USB camera's axes its node has, each control with its range: read with
// VIDIOC_QUERYCTRL (the list, then each control of interest).
#include "camera/uvc/UvcDevice.h"

#include <optional>

struct UvcAxes
{
    std::optional<UvcControl> pan, tilt, zoom, panSpeed, tiltSpeed, zoomSpeed;
    bool PanTilt() const { return pan && tilt; }
    bool Usable() const { return PanTilt() || zoom.has_value(); }
};

// Nothing when the node does not answer. Pan without tilt (or the reverse) cannot aim:
// such a camera counts as one without pan and tilt.
std::optional<UvcAxes> ReadUvcAxes(UvcDevice& device);
