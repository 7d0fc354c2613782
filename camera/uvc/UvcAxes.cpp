#include "camera/uvc/UvcAxes.h"

#include <algorithm>
#include <linux/videodev2.h>

std::optional<UvcAxes> ReadUvcAxes(UvcDevice& device)
{
    const auto listed = device.ListControls();
    if (!listed)
        return std::nullopt;
    const auto control = [&](unsigned id) -> std::optional<UvcControl> {
        if (std::find(listed->begin(), listed->end(), id) == listed->end())
            return std::nullopt;
        return device.QueryControl(id);
    };
    UvcAxes axes;
    axes.pan = control(V4L2_CID_PAN_ABSOLUTE);
    axes.tilt = control(V4L2_CID_TILT_ABSOLUTE);
    axes.zoom = control(V4L2_CID_ZOOM_ABSOLUTE);
    axes.panSpeed = control(V4L2_CID_PAN_SPEED);
    axes.tiltSpeed = control(V4L2_CID_TILT_SPEED);
    axes.zoomSpeed = control(V4L2_CID_ZOOM_CONTINUOUS);
    if (device.Lost())
        return std::nullopt;
    if (!axes.PanTilt())
        axes.pan = axes.tilt = axes.panSpeed = axes.tiltSpeed = std::nullopt;
    if (!axes.zoom)
        axes.zoomSpeed = std::nullopt;
    return axes;
}
