#pragma once
// The capture services of this system: V4L2 capture nodes found through sysfs, their JPEG
// quality control, and the preview through Qt Multimedia.
#include "video/SysfsVideoDeviceList.h"
#include "video/VideoCapture.h"

class SystemVideoCapture final : public VideoCapture
{
public:
    explicit SystemVideoCapture(std::string sysfsRoot = "/sys", std::string devRoot = "/dev");

    std::vector<VideoDeviceInfo> Devices() override;
    std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo& device) override;
    std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo& device, QWidget* picture) override;

private:
    SysfsVideoDeviceList m_devices;
};
