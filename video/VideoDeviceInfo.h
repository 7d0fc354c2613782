#pragma once
// One video input device as the video window sees it: the two properties the camera is
// recognised by, and the device node that the quality control and the preview open.
#include <string>

struct VideoDeviceInfo
{
    // Windows form, e.g. \\?\usb#vid_f1a9&pid_c20e&mi_00#<instance>#{...}\global
    std::string devicePath;
    // The name the device gives itself, e.g. "NORVEL QVT-VZ1".
    std::string friendlyName;
    // The capture node, e.g. /dev/video0.
    std::string node;
};
