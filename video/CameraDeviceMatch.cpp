#include "video/CameraDeviceMatch.h"

std::optional<std::size_t> FindCameraDevice(const std::vector<VideoDeviceInfo>& devices)
{
    // Two passes: a device found by its USB identity wins over one that only carries the
    // camera's name, wherever the two stand in the list.
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (std::string_view(devices[i].devicePath).starts_with(kCameraDevicePathPrefix))
            return i;
    }
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].friendlyName == kCameraFriendlyName)
            return i;
    }
    return std::nullopt;
}
