#include "camera/CameraPresence.h"

#include "camera/CameraAnnouncement.h"

#include <cstring>
#include <libudev.h>

namespace {

constexpr const char* kVendor = "f1a9";
constexpr const char* kProduct = "c20e";

bool IsCamera(udev_device* usbDevice)
{
    if (!usbDevice)
        return false;
    const char* vendor = udev_device_get_sysattr_value(usbDevice, "idVendor");
    const char* product = udev_device_get_sysattr_value(usbDevice, "idProduct");
    return vendor && product && !strcasecmp(vendor, kVendor) && !strcasecmp(product, kProduct);
}

// Calls visit(device) for every device of subsystem until it returns true.
template <typename Visit>
bool ForEachDevice(const char* subsystem, Visit visit)
{
    udev* context = udev_new();
    if (!context)
        return false;
    bool found = false;
    if (udev_enumerate* list = udev_enumerate_new(context)) {
        udev_enumerate_add_match_subsystem(list, subsystem);
        udev_enumerate_scan_devices(list);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list))
        {
            udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (!device)
                continue;
            found = visit(device);
            udev_device_unref(device);
            if (found)
                break;
        }
        udev_enumerate_unref(list);
    }
    udev_unref(context);
    return found;
}

} // namespace

bool UsbCameraAttached()
{
    return ForEachDevice("usb", [](udev_device* device) {
        const char* type = udev_device_get_devtype(device);
        return type && !std::strcmp(type, "usb_device") && IsCamera(device);
    });
}

std::string UsbCameraPort()
{
    std::string port;
    ForEachDevice("tty", [&port](udev_device* device) {
        // The parent reference belongs to device; it is not released separately.
        udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
        const char* node = udev_device_get_devnode(device);
        if (node && IsCamera(usb)) {
            port = node;
            return true;
        }
        return false;
    });
    return port;
}

std::string FindCameraPort()
{
    std::string port = UsbCameraPort();
    if (port.empty())
        port = ReadCameraAnnouncement();
    return port;
}
