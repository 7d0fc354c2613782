#pragma once
// The system's list of video input devices (the capture category of the device enumerator).
#include "video/VideoDeviceInfo.h"

#include <vector>

class VideoDeviceList
{
public:
    virtual ~VideoDeviceList() = default;
    // Every video capture input present now, in the system's order; empty when none.
    virtual std::vector<VideoDeviceInfo> Devices() const = 0;
};
