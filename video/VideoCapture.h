#pragma once
// The capture services the video window uses: the list of video inputs, the quality control
// of one input and its live preview. The product uses SystemVideoCapture; tests hand in
// their own.
#include "video/CameraDeviceMatch.h"
#include "video/VideoDeviceInfo.h"
#include "video/VideoPreview.h"
#include "video/VideoQualityControl.h"

#include <memory>
#include <optional>
#include <vector>

class QWidget;

class VideoCapture
{
public:
    virtual ~VideoCapture() = default;

    virtual std::vector<VideoDeviceInfo> Devices() = 0;
    // Which of devices is the camera in use; the QVT-VZ1 unless told otherwise.
    virtual std::optional<std::size_t> FindCamera(const std::vector<VideoDeviceInfo>& devices)
    {
        return FindCameraDevice(devices);
    }
    // Null when the device offers no quality control.
    virtual std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo& device) = 0;
    // Starts the live picture of device inside picture (covering it); null when it cannot.
    virtual std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo& device, QWidget* picture) = 0;
};
