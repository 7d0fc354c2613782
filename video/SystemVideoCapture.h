#pragma once
// The capture services of this system: V4L2 capture nodes found through sysfs, their JPEG
// quality control, and the preview through Qt Multimedia.
#include "video/SysfsVideoDeviceList.h"
#include "video/VideoCapture.h"

class SystemVideoCapture final : public VideoCapture
{
public:
    // cameraNode: a USB camera's node (as the profile names it), found by that instead of
    // by the QVT-VZ1's names; empty for the QVT-VZ1.
    explicit SystemVideoCapture(std::string sysfsRoot = "/sys", std::string devRoot = "/dev",
                                std::string cameraNode = {});

    std::vector<VideoDeviceInfo> Devices() override;
    std::optional<std::size_t> FindCamera(const std::vector<VideoDeviceInfo>& devices) override;
    std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo& device) override;
    std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo& device, QWidget* picture) override;

private:
    SysfsVideoDeviceList m_devices;
    std::string m_cameraNode;
};
