#include "video/SysfsVideoDeviceList.h"

#include <linux/videodev2.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Class GUID of the video capture interfaces, the tail every such path carries.
constexpr const char* kVideoInterfaceTail = "#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

// A sysfs attribute without its trailing newline; empty when it cannot be read.
std::string ReadAttribute(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::string text(4096, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

std::optional<unsigned> ParseHex(const std::string& text, unsigned max)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    if (text.empty() || ec != std::errc() || ptr != end || value > max)
        return std::nullopt;
    return value;
}

// The number in "videoN", or nothing for every other node kind (radio, vbi, subdevices).
std::optional<unsigned> VideoNodeNumber(const std::string& name)
{
    if (!name.starts_with("video") || name.size() == 5)
        return std::nullopt;
    unsigned value = 0;
    const char* end = name.data() + name.size();
    const auto [ptr, ec] = std::from_chars(name.data() + 5, end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// Whether the node captures video. A device with metadata or output nodes beside its
// capture node lists only the capture node, as the system's device list does. When the
// node cannot be asked (no access, not a device), the driver's index of the node decides:
// a device's first node is its capture node.
bool IsCaptureNode(const std::string& node, const fs::path& classDir)
{
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        v4l2_capability cap{};
        const int rc = ::ioctl(fd, VIDIOC_QUERYCAP, &cap);
        ::close(fd);
        if (rc == 0) {
            const unsigned caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
            return (caps & (V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_VIDEO_CAPTURE_MPLANE)) != 0;
        }
    }
    const std::string index = ReadAttribute(classDir / "index");
    return index.empty() || index == "0";
}

// Characters that would break the '#'-separated path are replaced.
std::string InstanceText(std::string text)
{
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '#' || c == '\\' || c == '/' || std::isspace(u) || u < 0x20 || u >= 0x7f)
            c = '_';
    }
    return text;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

VideoDeviceInfo Describe(const fs::path& classDir, const std::string& nodeName, const std::string& node)
{
    VideoDeviceInfo info;
    info.node = node;

    // device is the USB interface the node belongs to; its parent is the USB device.
    const fs::path interfaceDir = classDir / "device";
    const fs::path usbDir = interfaceDir / "..";
    const auto vendor = ParseHex(ReadAttribute(usbDir / "idVendor"), 0xffff);
    const auto product = ParseHex(ReadAttribute(usbDir / "idProduct"), 0xffff);

    info.friendlyName = ReadAttribute(classDir / "name");
    if (info.friendlyName.empty())
        info.friendlyName = ReadAttribute(interfaceDir / "interface");
    if (info.friendlyName.empty())
        info.friendlyName = ReadAttribute(usbDir / "product");
    if (info.friendlyName.empty())
        info.friendlyName = nodeName;

    if (!vendor || !product) {
        info.devicePath = "\\\\?\\v4l#" + nodeName + kVideoInterfaceTail;
        return info;
    }
    const auto interfaceNumber = ParseHex(ReadAttribute(interfaceDir / "bInterfaceNumber"), 0xff);
    std::string instance = ReadAttribute(usbDir / "serial");
    if (instance.empty()) {
        // Without a serial number the port the device sits in tells it apart ("1-1.4").
        std::error_code ec;
        const fs::path resolved = fs::canonical(usbDir, ec);
        instance = ec ? nodeName : resolved.filename().string();
    }
    info.devicePath = UsbVideoDevicePath(*vendor, *product, interfaceNumber ? static_cast<int>(*interfaceNumber) : -1,
                                         InstanceText(instance));
    return info;
}

} // namespace

std::string UsbVideoDevicePath(unsigned vendor, unsigned product, int interfaceNumber, const std::string& instance)
{
    char ids[40];
    if (interfaceNumber >= 0)
        std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x&mi_%02x", vendor & 0xffff, product & 0xffff,
                      static_cast<unsigned>(interfaceNumber) & 0xff);
    else
        std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x", vendor & 0xffff, product & 0xffff);
    return Lower("\\\\?\\usb#" + std::string(ids) + "#" + instance + kVideoInterfaceTail);
}

SysfsVideoDeviceList::SysfsVideoDeviceList(std::string sysfsRoot, std::string devRoot)
    : m_sysfsRoot(std::move(sysfsRoot)), m_devRoot(std::move(devRoot))
{
}

std::vector<VideoDeviceInfo> SysfsVideoDeviceList::Devices() const
{
    const fs::path classRoot = fs::path(m_sysfsRoot) / "class" / "video4linux";
    std::vector<std::pair<unsigned, std::string>> nodes;
    std::error_code ec;
    for (fs::directory_iterator it(classRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (const auto number = VideoNodeNumber(name))
            nodes.emplace_back(*number, name);
    }
    // video2 before video10, as the kernel numbered them.
    std::sort(nodes.begin(), nodes.end());

    std::vector<VideoDeviceInfo> devices;
    for (const auto& [number, name] : nodes) {
        const fs::path classDir = classRoot / name;
        const std::string node = (fs::path(m_devRoot) / name).string();
        if (IsCaptureNode(node, classDir))
            devices.push_back(Describe(classDir, name, node));
    }
    return devices;
}
