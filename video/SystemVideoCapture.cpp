#include "video/SystemVideoCapture.h"

#include "video/QtCameraPreview.h"
#include "video/V4l2QualityControl.h"

#include <QMediaDevices>

SystemVideoCapture::SystemVideoCapture(std::string sysfsRoot, std::string devRoot, std::string cameraNode)
    : m_devices(std::move(sysfsRoot), std::move(devRoot)), m_cameraNode(std::move(cameraNode))
{
}

std::optional<std::size_t> SystemVideoCapture::FindCamera(const std::vector<VideoDeviceInfo>& devices)
{
    return m_cameraNode.empty() ? FindCameraDevice(devices) : FindCameraDeviceByNode(devices, m_cameraNode);
}

std::vector<VideoDeviceInfo> SystemVideoCapture::Devices()
{
    return m_devices.Devices();
}

std::unique_ptr<VideoQualityControl> SystemVideoCapture::OpenQualityControl(const VideoDeviceInfo& device)
{
    return V4l2QualityControl::Open(device.node);
}

std::unique_ptr<VideoPreview> SystemVideoCapture::StartPreview(const VideoDeviceInfo& device, QWidget* picture)
{
    // Two cameras of the same name are told apart by their order, which Qt's list keeps from
    // the system's as ours does.
    int occurrence = 0;
    for (const VideoDeviceInfo& other : m_devices.Devices()) {
        if (other.node == device.node)
            break;
        if (other.friendlyName == device.friendlyName)
            ++occurrence;
    }
    const auto camera = FindQtCamera(QMediaDevices::videoInputs(), QString::fromStdString(device.friendlyName),
                                     occurrence);
    if (!camera)
        return nullptr;
    return std::make_unique<QtCameraPreview>(*camera, picture);
}
