#include "video/CameraDeviceMatch.h"

#include <filesystem>
#include <system_error>

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

std::optional<std::size_t> FindCameraDeviceByNode(const std::vector<VideoDeviceInfo>& devices, const std::string& node)
{
    namespace fs = std::filesystem;
    if (node.empty())
        return std::nullopt;
    // Links are followed only under /dev: a node elsewhere (the virtual camera's, on FUSE)
    // has no picture in the list anyway, and a hung mount must not hold the window.
    std::string target = node;
    if (node.starts_with("/dev/")) {
        std::error_code error;
        const fs::path resolved = fs::weakly_canonical(node, error);
        if (!error)
            target = resolved.string();
    }
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].node == node || devices[i].node == target)
            return i;
    }
    return std::nullopt;
}
