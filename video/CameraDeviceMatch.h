#pragma once
// How the video window recognises the QVT-VZ1 among the video inputs.
#include "video/VideoDeviceInfo.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Compared case-sensitively as a prefix of the device path.
inline constexpr std::string_view kCameraDevicePathPrefix = "\\\\?\\usb#vid_f1a9&pid_c20e";
static_assert(kCameraDevicePathPrefix.size() == 25);

// Compared case-sensitively with the whole friendly name.
inline constexpr std::string_view kCameraFriendlyName = "NORVEL QVT-VZ1";

// The index of the camera in devices: the first whose path starts with the prefix, else the
// first whose friendly name is exactly the camera's name; nothing when neither is there.
std::optional<std::size_t> FindCameraDevice(const std::vector<VideoDeviceInfo>& devices);

// A USB camera (UVC) chosen by its node: the device with that node, the path given as the
// user chose it (a /dev/v4l/by-id/ link survives another port) or as the node itself.
std::optional<std::size_t> FindCameraDeviceByNode(const std::vector<VideoDeviceInfo>& devices,
                                                  const std::string& node);
