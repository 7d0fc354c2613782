// A machine without a video device, for the dialogs that open the video window.
#pragma once

#include "video/VideoCapture.h"

struct NoVideoCapture final : VideoCapture
{
    std::vector<VideoDeviceInfo> Devices() override { return {}; }
    std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo&) override { return nullptr; }
    std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo&, QWidget*) override { return nullptr; }
};
