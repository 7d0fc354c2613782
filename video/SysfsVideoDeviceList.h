#pragma once
// The video inputs of a Linux system: the V4L2 capture nodes listed under
// <sysfs>/class/video4linux, each described with a Windows-style device path built from its
// USB identity, so that the camera is recognised by the same texts as everywhere else.
#include "video/VideoDeviceList.h"

#include <string>

class SysfsVideoDeviceList final : public VideoDeviceList
{
public:
    // The roots are parameters so that a test can point them at a tree of its own.
    explicit SysfsVideoDeviceList(std::string sysfsRoot = "/sys", std::string devRoot = "/dev");

    std::vector<VideoDeviceInfo> Devices() const override;

private:
    std::string m_sysfsRoot;
    std::string m_devRoot;
};

// The device path of a USB video interface:
// \\?\usb#vid_xxxx&pid_yyyy&mi_nn#<instance>#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\global,
// lower case as the system's paths are; "&mi_nn" only when the interface number is known.
std::string UsbVideoDevicePath(unsigned vendor, unsigned product, int interfaceNumber,
                               const std::string& instance);
