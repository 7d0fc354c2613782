#pragma once
// The capture services the video window uses: the list of video inputs, the quality control
// of one input and its live preview. The product uses SystemVideoCapture; tests hand in
// their own.
#include "video/VideoDeviceInfo.h"
#include "video/VideoPreview.h"
#include "video/VideoQualityControl.h"

#include <memory>
#include <vector>

class QWidget;

class VideoCapture
{
public:
    virtual ~VideoCapture() = default;

    virtual std::vector<VideoDeviceInfo> Devices() = 0;
    // Null when the device offers no quality control.
    virtual std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo& device) = 0;
    // Starts the live picture of device inside picture (covering it); null when it cannot.
    virtual std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo& device, QWidget* picture) = 0;
};
