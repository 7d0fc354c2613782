#include "video/VideoSourceChoice.h"

#include "camera/CameraAnnouncement.h"
#include "video/CameraDeviceMatch.h"
#include "video/StreamVideoCapture.h"
#include "video/SystemVideoCapture.h"

VideoSource ChooseVideoSource(const CameraConnection& connection, bool cameraOnSystem,
                              const std::string& virtualCameraDir)
{
    VideoSource source;
    if (!connection.videoStream.empty()) {
        source.kind = VideoSource::Kind::Stream;
        source.stream = connection.videoStream;
    } else if (connection.kind == CameraConnection::Kind::Usb && !cameraOnSystem && !virtualCameraDir.empty()) {
        source.sysfsRoot = virtualCameraDir + "/sys";
        source.devRoot = virtualCameraDir + "/dev";
    }
    return source;
}

std::unique_ptr<VideoCapture> MakeVideoCapture(const CameraConnection& connection)
{
    const bool onSystem = FindCameraDevice(SysfsVideoDeviceList("/sys", "/dev").Devices()).has_value();
    const std::string virtualDir = ReadCameraAnnouncement().empty() ? std::string() : CameraRuntimeDir();
    const VideoSource source = ChooseVideoSource(connection, onSystem, virtualDir);
    if (source.kind == VideoSource::Kind::Stream)
        return std::make_unique<StreamVideoCapture>(source.stream);
    return std::make_unique<SystemVideoCapture>(source.sysfsRoot, source.devRoot);
}
