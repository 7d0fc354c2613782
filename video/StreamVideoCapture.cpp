#include "video/StreamVideoCapture.h"

#include "video/CameraDeviceMatch.h"
#include "video/QtStreamPreview.h"

#include <QUrl>

std::vector<VideoDeviceInfo> StreamVideoCapture::Devices()
{
    return {VideoDeviceInfo{m_url, std::string(kCameraFriendlyName), {}}};
}

std::unique_ptr<VideoPreview> StreamVideoCapture::StartPreview(const VideoDeviceInfo& device, QWidget* picture)
{
    const QUrl url(QString::fromStdString(device.devicePath));
    if (!url.isValid())
        return nullptr;
    return std::make_unique<QtStreamPreview>(url, picture);
}
