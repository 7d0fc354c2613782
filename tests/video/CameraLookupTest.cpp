// The camera among the video inputs: the two matching rules; the list from a sysfs tree.
#include "tests/support/TestEnvironment.h"
#include "tests/video/FakeSysfs.h"
#include "tests/video/FakeVideoCapture.h"
#include "video/CameraDeviceMatch.h"
#include "video/SysfsVideoDeviceList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

const std::string kTail = "#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

TEST(CameraDeviceMatch, PathMatchWinsOverAnEarlierNameMatch)
{
    const std::vector<VideoDeviceInfo> devices{OtherWebcam(), CameraByName(), CameraByPath()};
    EXPECT_EQ(FindCameraDevice(devices), std::optional<std::size_t>(2));
}

TEST(CameraDeviceMatch, NameMatchesOnlyWhenExactPathAsACaseSensitivePrefix)
{
    const auto named = [](std::string name) { return Device("vid_1234&pid_0001#x", std::move(name), "/dev/video0"); };
    for (const char* near : {"NORVEL QVT-VZ12", "NORVEL QVT-VZ1 ", "norvel qvt-vz1"})
        EXPECT_EQ(FindCameraDevice({named(near)}), std::nullopt) << near;
    EXPECT_EQ(FindCameraDevice({named("NORVEL QVT-VZ1 #2"), named("NORVEL QVT-VZ1")}), std::optional<std::size_t>(1));

    const auto pathed = [](std::string path) { return VideoDeviceInfo{std::move(path), "USB Video Device", "/dev/video0"}; };
    const auto upper = pathed("\\\\?\\USB#VID_F1A9&PID_C20E&MI_00#x" + kTail);
    EXPECT_EQ(FindCameraDevice({upper, pathed("\\\\?\\usb#vid_f1a9&pid_c20f#x" + kTail)}), std::nullopt);
    EXPECT_EQ(FindCameraDevice({upper, pathed("\\\\?\\usb#vid_f1a9&pid_c20e")}), std::optional<std::size_t>(1));
    EXPECT_EQ(FindCameraDevice({}), std::nullopt);
}

TEST(CameraDeviceMatch, AUsbCameraIsFoundByItsNodeOrALinkToIt)
{
    // A stable name under /dev links to the node (/dev/shm stands in for /dev/v4l/by-id).
    const std::string node = "/dev/shm/qvt-video-test-" + std::to_string(::getpid());
    const std::string link = node + "-by-id";
    std::ofstream{node};
    std::filesystem::remove(link);
    std::filesystem::create_symlink(node, link);
    const std::vector<VideoDeviceInfo> devices{CameraByName("/dev/video0"), Device("x", "Webcam", node)};
    const struct
    {
        std::string node;
        std::optional<std::size_t> expected;
    } cases[] = {{node, 1}, {link, 1}, {"/dev/video7", std::nullopt}, {"", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(FindCameraDeviceByNode(devices, c.node), c.expected) << c.node;
    std::filesystem::remove(link);
    std::filesystem::remove(node);
}

TEST(SysfsVideoDeviceList, BuildsWindowsDevicePathsFromTheUsbIdentity)
{
    FakeSysfs sys;
    const auto camera = sys.UsbDevice("1-2", "f1a9", "c20e", "QV12AB");
    sys.UsbNode(camera, "0", "video0", "NORVEL QVT-VZ1");
    sys.UsbNode(camera, "0", "video1", "NORVEL QVT-VZ1", "1");  // the metadata node
    const auto webcam = sys.UsbDevice("1-3.4", "046D", "0825", "");
    sys.UsbNode(webcam, "2", "video2", "HD Webcam C270");
    const auto devices = SysfsVideoDeviceList(sys.Sys(), sys.Dev()).Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].devicePath, "\\\\?\\usb#vid_f1a9&pid_c20e&mi_00#qv12ab" + kTail);
    EXPECT_EQ(devices[0].friendlyName, "NORVEL QVT-VZ1");
    EXPECT_EQ(devices[0].node, sys.Dev() + "/video0");
    // No serial number: the USB port tells the device apart; hex ids come out in lower case.
    EXPECT_EQ(devices[1].devicePath, "\\\\?\\usb#vid_046d&pid_0825&mi_02#1-3.4" + kTail);
    EXPECT_EQ(devices[1].node, sys.Dev() + "/video2");
    EXPECT_EQ(FindCameraDevice(devices), std::optional<std::size_t>(0));
}

TEST(SysfsVideoDeviceList, KeepsNumericOrderAndSkipsOtherNodeKinds)
{
    FakeSysfs sys;
    for (auto [node, name] : {std::pair{"video10", "Virtual Camera B"}, {"video2", "Virtual Camera A"}, {"radio0", "Radio"},
                              {"v4l-subdev0", "Sensor"}, {"videoX", "Odd"}})
        sys.PlainNode(node, name);
    const auto devices = SysfsVideoDeviceList(sys.Sys(), sys.Dev()).Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].friendlyName, "Virtual Camera A");
    EXPECT_EQ(devices[0].devicePath, "\\\\?\\v4l#video2" + kTail);
    EXPECT_EQ(devices[1].friendlyName, "Virtual Camera B");
    EXPECT_EQ(FindCameraDevice(devices), std::nullopt);
}

TEST(SysfsVideoDeviceList, DamagedAttributesGiveAPathThatMatchesNothingAndNoCrash)
{
    FakeSysfs sys;
    const auto garbled = sys.UsbDevice("1-5", "zz!9", "c20e", "A#B\\C D");
    sys.UsbNode(garbled, "0", "video0", "");
    const auto strangeSerial = sys.UsbDevice("1-6", "f1a9", "c20e", "A#B\\C D", "NORVEL QVT-VZ1");
    sys.UsbNode(strangeSerial, "0", "video1", "");
    FakeSysfs::Write(strangeSerial / "1-6:1.0" / "bInterfaceNumber", "not hex\n");
    const auto devices = SysfsVideoDeviceList(sys.Sys(), sys.Dev()).Devices();
    ASSERT_EQ(devices.size(), 2u);
    // A vendor id that is no number is no USB identity at all.
    EXPECT_EQ(devices[0].devicePath, "\\\\?\\v4l#video0" + kTail);
    EXPECT_EQ(devices[0].friendlyName, "video0");
    // Separators in a serial number cannot break the path apart; the device's product
    // string names a node whose driver gave it no name.
    EXPECT_EQ(devices[1].devicePath, "\\\\?\\usb#vid_f1a9&pid_c20e#a_b_c_d" + kTail);
    EXPECT_EQ(devices[1].friendlyName, "NORVEL QVT-VZ1");
}

TEST(SysfsVideoDeviceList, NoVideoSubsystemIsAnEmptyList)
{
    EXPECT_TRUE(SysfsVideoDeviceList(TestRootDir().toStdString() + "/nowhere", "/nowhere").Devices().empty());
}

} // namespace
