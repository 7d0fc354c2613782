#pragma once
// A network camera's picture: its stream stands in the device list as the camera itself
// (the camera's name, the address as its path), without a quality control.
#include "video/VideoCapture.h"

#include <string>

class StreamVideoCapture final : public VideoCapture
{
public:
    explicit StreamVideoCapture(std::string url) : m_url(std::move(url)) {}

    std::vector<VideoDeviceInfo> Devices() override;
    std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo&) override { return nullptr; }
    std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo& device, QWidget* picture) override;

private:
    std::string m_url;
};
