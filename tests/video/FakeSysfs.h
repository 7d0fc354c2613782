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
    FakeSysfs() { fs::create_directories(m_root / "sys/class/video4linux"), fs::create_directories(m_root / "dev"); }
    ~FakeSysfs() { fs::remove_all(m_root); }
    std::string Sys() const { return (m_root / "sys").string(); }
    std::string Dev() const { return (m_root / "dev").string(); }
    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

    fs::path UsbDevice(const std::string& port, const std::string& vendor, const std::string& product,
                       const std::string& serial, const std::string& productName = {})
    {
        const fs::path dir = m_root / "sys/devices/pci0000:00/usb1" / port;
        fs::create_directories(dir);
        for (auto [file, text] : {std::pair{"idVendor", vendor}, {"idProduct", product}, {"serial", serial},
                                  {"product", productName}})
            if (!text.empty())
                Write(dir / file, text + "\n");
        return dir;
    }
    // A node under the interface ifaceNumber of usbDevice.
    void UsbNode(const fs::path& usbDevice, const std::string& ifaceNumber, const std::string& node,
                 const std::string& name, const std::string& index = "0")
    {
        const std::string ifaceName = usbDevice.filename().string() + ":1." + ifaceNumber;
        Write(Node(usbDevice / ifaceName / "video4linux", node, name) / "index", index + "\n");
        Write(usbDevice / ifaceName / "bInterfaceNumber", ifaceNumber + "\n");
        fs::create_directory_symlink("../../../" + ifaceName, usbDevice / ifaceName / "video4linux" / node / "device");
    }
    // A node of a virtual driver, without a USB device behind it.
    void PlainNode(const std::string& node, const std::string& name)
    {
        Node(m_root / "sys/devices/virtual/video4linux", node, name);
    }

private:
    fs::path Node(const fs::path& parent, const std::string& node, const std::string& name)
    {
        fs::create_directories(parent / node);
        Write(parent / node / "name", name + "\n");
        const fs::path classDir = m_root / "sys/class/video4linux";
        fs::create_directory_symlink(fs::relative(parent / node, classDir), classDir / node);
        return parent / node;
    }
    static inline int s_count = 0;
    fs::path m_root = fs::path(TestRootDir().toStdString()) / ("sysfs-" + std::to_string(++s_count));
};
