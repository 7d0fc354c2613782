#pragma once
// A sysfs tree in the test's private folder, laid out as the kernel lays it out: class links
// to the node folders under the USB interface, whose parent is the USB device.
#include "tests/support/TestEnvironment.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

class FakeSysfs
{
public:
    FakeSysfs() : m_root(fs::path(TestRootDir().toStdString()) / ("sysfs-" + std::to_string(++s_count)))
    {
        fs::create_directories(m_root / "sys/class/video4linux");
        fs::create_directories(m_root / "dev");
    }
    ~FakeSysfs() { fs::remove_all(m_root); }

    std::string Sys() const { return (m_root / "sys").string(); }
    std::string Dev() const { return (m_root / "dev").string(); }

    fs::path UsbDevice(const std::string& port, const std::string& vendor, const std::string& product,
                       const std::string& serial, const std::string& productName = {})
    {
        const fs::path dir = m_root / "sys/devices/pci0000:00/usb1" / port;
        fs::create_directories(dir);
        Write(dir / "idVendor", vendor + "\n");
        Write(dir / "idProduct", product + "\n");
        if (!serial.empty())
            Write(dir / "serial", serial + "\n");
        if (!productName.empty())
            Write(dir / "product", productName + "\n");
        return dir;
    }

    // A node under the interface ifaceNumber of usbDevice.
    void UsbNode(const fs::path& usbDevice, const std::string& ifaceNumber, const std::string& node,
                 const std::string& name, const std::string& index = "0")
    {
        const std::string ifaceName = usbDevice.filename().string() + ":1." + ifaceNumber;
        const fs::path iface = usbDevice / ifaceName;
        fs::create_directories(iface);
        Write(iface / "bInterfaceNumber", ifaceNumber + "\n");
        const fs::path nodeDir = iface / "video4linux" / node;
        fs::create_directories(nodeDir);
        Write(nodeDir / "name", name + "\n");
        Write(nodeDir / "index", index + "\n");
        fs::create_directory_symlink("../../../" + ifaceName, nodeDir / "device");
        fs::create_directory_symlink(fs::relative(nodeDir, m_root / "sys/class/video4linux"),
                                     m_root / "sys/class/video4linux" / node);
    }

    // A node of a virtual driver, without a USB device behind it.
    void PlainNode(const std::string& node, const std::string& name)
    {
        const fs::path nodeDir = m_root / "sys/devices/virtual/video4linux" / node;
        fs::create_directories(nodeDir);
        Write(nodeDir / "name", name + "\n");
        fs::create_directory_symlink(fs::relative(nodeDir, m_root / "sys/class/video4linux"),
                                     m_root / "sys/class/video4linux" / node);
    }

    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

private:
    fs::path m_root;
    static inline int s_count = 0;
};
