// A USB camera (UVC): the mapping of the controller's units onto V4L2 controls, and the
// real camera library against the virtual camera's node on FUSE.
#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "camera/uvc/UvcNodeList.h"
#include "camera/uvc/UvcUnits.h"
#include "platform/WinMessages.h"
#include "sim/uvc/FuseNode.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/videodev2.h>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace uvc_units;

TEST(UvcUnits, ControllerUnitsMapOntoTheCamerasRangeAndStep)
{
    const UvcRange tiny{-468000, 468000, 3600}, tilt{-324000, 324000, 7200}, zoom{100, 500, 1}, odd{0, 10, 3};
    struct Row { const char* what; int got, expected; };
    const Row rows[] = {
        {"pan centre", PanToValue(180, tiny, false), 0},
        {"pan right is positive", PanToValue(190, tiny, false), 36000},
        {"pan reversed", PanToValue(190, tiny, true), -36000},
        {"pan clamped to the camera", PanToValue(0, tiny, false), -468000},
        {"pan beyond the controller's range", PanToValue(999, tiny, false), 468000},
        {"tilt on the camera's step, half a step up", TiltToValue(1, tilt, false), 7200},
        {"tilt reversed", TiltToValue(10, tilt, true), -36000},
        {"zoom wide", ZoomToValue(0, zoom), 100},
        {"zoom half", ZoomToValue(90, zoom), 300},
        {"zoom tele, clamped", ZoomToValue(500, zoom), 500},
        {"a top end off the step", OnStep(10, odd), 9},
        {"rounded to the nearest step", OnStep(5, odd), 6},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.expected) << r.what;

    EXPECT_EQ(PanFromValue(36000, tiny, false), 190);
    EXPECT_EQ(PanFromValue(36000, tiny, true), 170);
    EXPECT_EQ(TiltFromValue(-7200, tilt, false), -2);
    EXPECT_EQ(ZoomFromValue(300, zoom), 90);
    // A report outside the range is not believed.
    EXPECT_FALSE(PanFromValue(500000, tiny, false));
    EXPECT_FALSE(TiltFromValue(-400000, tilt, false));
    EXPECT_FALSE(ZoomFromValue(99, zoom));
}

bool FuseOpens(std::string* why)
{
    const int fd = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        *why = std::strerror(errno);
        return false;
    }
    ::close(fd);
    return true;
}

constexpr int kUp = 8, kRight = 1, kLeft = 2, kTele = 16;

class UvcCameraLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        if (!FuseOpens(&why))
            GTEST_SKIP() << "needs /dev/fuse for the virtual USB camera's node, which cannot be opened: " << why;
    }

    void TearDown() override
    {
        CamClose();
        CamConfigure({});
        if (node)
            node->Resume();  // a hung node's callers end with the mount
        node.reset();
    }

    void Serve(UvcProfile profile, bool panReversed = false)
    {
        static int n = 0;
        const std::string dir = TestRootDir().toStdString() + "/v4l" + std::to_string(++n);
        {
            std::lock_guard lock(traceMutex);
            trace.clear();
        }
        window.Clear();
        node = std::make_unique<FuseNode>(dir + "/video0", std::move(profile), [this](const std::string& line) {
            std::lock_guard lock(traceMutex);
            trace.push_back(line);
        });
        ASSERT_TRUE(node->Mounted()) << node->Error();
        node->Attach();
        connection.kind = CameraConnection::Kind::Uvc;
        connection.uvcDevice = node->Path();
        connection.customModel.panReversed = panReversed;
        CamConfigure(connection);
    }

    void Open()
    {
        char port[20] = {};
        ASSERT_EQ(CamFindPort(port), 1);
        ASSERT_EQ(CamOpen(port, &window, WM_CAMERA_LINK, WM_CAMERA_MODE), 1);
        ASSERT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_MODE).empty(); }));
        EXPECT_EQ(window.Params(WM_CAMERA_LINK), std::vector<WPARAM>{1});
        EXPECT_EQ(window.Params(WM_CAMERA_MODE), std::vector<WPARAM>{1});  // "All participants"
    }

    // The values of every traced set of control (e.g. "pan-absolute").
    std::vector<int> Sets(const std::string& control)
    {
        std::lock_guard lock(traceMutex);
        std::vector<int> values;
        const std::string prefix = control + " value=";
        for (const std::string& line : trace)
            if (line.compare(0, prefix.size(), prefix) == 0)
                values.push_back(std::stoi(line.substr(prefix.size())));
        return values;
    }

    static std::optional<int> Read(int (*get)(int*))
    {
        int value = -1;
        return get(&value) ? std::optional<int>(value) : std::nullopt;
    }

    std::unique_ptr<FuseNode> node;
    CameraConnection connection;
    RecordingWindow window;
    std::mutex traceMutex;
    std::vector<std::string> trace;
};

TEST_F(UvcCameraLibrary, PresetsAndViewsMoveTheAxesAndTeachingStoresWhatTheCameraReports)
{
    Serve(*FindUvcProfile("tiny"));
    EXPECT_EQ(CamIsPresent(), 1);
    Open();
    const CameraCapabilities caps = CamCapabilities();
    EXPECT_TRUE(caps.panTilt && caps.zoom);
    EXPECT_FALSE(caps.roll || caps.stand || caps.firmware || caps.videoFormat);

    ASSERT_EQ(CamSetPosition(2, 190, 10, 90, 45), 1);
    EXPECT_EQ(Sets("pan-absolute"), std::vector<int>{36000});
    EXPECT_EQ(Sets("tilt-absolute"), std::vector<int>{36000});
    EXPECT_EQ(Sets("zoom-absolute"), std::vector<int>{50});
    {
        std::lock_guard lock(traceMutex);
        EXPECT_EQ(std::count_if(trace.begin(), trace.end(), [](const std::string& l) { return l.find("roll") != std::string::npos; }), 0);
    }
    ASSERT_TRUE(WaitUntil([&] { return Read(CamGetPan) == 190 && Read(CamGetZoom) == 90; }));
    EXPECT_EQ(Read(CamGetTilt), 10);
    EXPECT_FALSE(Read(CamGetRoll)) << "no roll: the preset keeps its own";

    // A long move read back at once: this camera reports where it is on its way, and that
    // is what teaching stores.
    ASSERT_EQ(CamSetPosition(2, 300, 10, 90, 0), 1);
    const auto midway = Read(CamGetPan);
    ASSERT_TRUE(midway);
    EXPECT_GE(*midway, 190);
    EXPECT_LT(*midway, 300);
    ASSERT_TRUE(WaitUntil([&] { return Read(CamGetPan) == 300; }));

    ASSERT_EQ(CamSelectView(0), 1);
    EXPECT_EQ(Sets("pan-absolute").back(), 0);
    EXPECT_EQ(Sets("zoom-absolute").back(), 0);
    EXPECT_EQ(CamSelectView(1), 0) << "no camera memory beyond the two views";
}

TEST_F(UvcCameraLibrary, AZoomOnlyCameraRefusesPanAndTiltAndStepsItsZoom)
{
    Serve(*FindUvcProfile("zoom-only"));
    Open();
    const CameraCapabilities caps = CamCapabilities();
    EXPECT_FALSE(caps.panTilt);
    EXPECT_TRUE(caps.zoom);
    EXPECT_EQ(CamDrive(kRight), 0);
    EXPECT_FALSE(Read(CamGetPan));

    // This camera reports the target of a move at once.
    ASSERT_EQ(CamSetPosition(2, 180, 0, 180, 0), 1);
    EXPECT_EQ(Read(CamGetZoom), 180);
    ASSERT_EQ(CamSetPosition(2, 180, 0, 0, 0), 1);

    // No zoom speed control: the pad steps the absolute control while held.
    ASSERT_EQ(CamDrive(kTele), 1);
    ASSERT_TRUE(WaitUntil([&] { return Sets("zoom-absolute").size() >= 4; }));
    ASSERT_EQ(CamDrive(0), 1);
    const std::vector<int> steps = Sets("zoom-absolute");
    EXPECT_TRUE(std::is_sorted(steps.begin() + 2, steps.end())) << "tele goes up";
    EXPECT_GT(steps.back(), 100);
    EXPECT_TRUE(Sets("pan-absolute").empty());
}

TEST_F(UvcCameraLibrary, PadsUseSpeedControlsThatDriveBothWaysElseStepTheAbsoluteOnes)
{
    UvcProfile speeds = *FindUvcProfile("tiny");
    speeds.panSpeed = speeds.tiltSpeed = SimControlRange{-10, 10, 1};
    speeds.zoomSpeed = SimControlRange{-4, 4, 1};
    Serve(speeds, /*panReversed=*/true);
    Open();
    ASSERT_EQ(CamDrive(kRight | kUp), 1);
    EXPECT_EQ(Sets("pan-speed"), std::vector<int>{-5}) << "a ceiling mount turns right the other way";
    EXPECT_EQ(Sets("tilt-speed"), std::vector<int>{5});
    ASSERT_EQ(CamDrive(kTele), 1);
    EXPECT_EQ(Sets("zoom-continuous"), std::vector<int>{2});
    EXPECT_EQ(Sets("pan-speed").back(), 0) << "the released axes stop at once";
    ASSERT_EQ(CamDrive(0), 1);
    EXPECT_EQ(Sets("zoom-continuous").back(), 0);
    EXPECT_TRUE(Sets("pan-absolute").empty());
    CamClose();

    // The published speed range -1..160 cannot turn left steadily: stepping instead.
    Serve(*FindUvcProfile("tiny"));
    Open();
    ASSERT_EQ(CamDrive(kLeft), 1);
    ASSERT_TRUE(WaitUntil([&] { return Sets("pan-absolute").size() >= 3; }));
    ASSERT_EQ(CamDrive(0), 1);
    EXPECT_TRUE(Sets("pan-speed").empty());
    const int stoppedAt = Sets("pan-absolute").back();
    EXPECT_LT(stoppedAt, 0);
    // The release aims the camera where it was, so it stays there.
    EXPECT_EQ(Read(CamGetPan), PanFromValue(stoppedAt, {-468000, 468000, 3600}, false));
}

TEST_F(UvcCameraLibrary, ANodeThatVanishesMidMoveIsALostLinkAndComesBack)
{
    Serve(*FindUvcProfile("tiny"));
    Open();
    const int before = ::open(node->Path().c_str(), O_RDWR);
    ASSERT_GE(before, 0);
    ASSERT_EQ(CamSetPosition(2, 300, 20, 100, 0), 1);
    node->Detach();
    EXPECT_FALSE(Read(CamGetPan));
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK).size() == 2; }));
    EXPECT_EQ(window.Params(WM_CAMERA_LINK).back(), 0u);
    EXPECT_EQ(CamIsOpen(), 0);
    EXPECT_EQ(CamIsPresent(), 0);

    CamClose();  // as the controller does on the lost link
    node->Attach();
    EXPECT_EQ(CamIsPresent(), 1);
    v4l2_control control{V4L2_CID_PAN_ABSOLUTE, 0};
    EXPECT_NE(::ioctl(before, VIDIOC_G_CTRL, &control), 0);
    EXPECT_EQ(errno, ENODEV) << "a descriptor of the unplugged node stays dead";
    ::close(before);
    window.Clear();
    Open();
    EXPECT_TRUE(Read(CamGetPan));
}

TEST_F(UvcCameraLibrary, AHungServerHoldsACallNoLongerThanASilentCamera)
{
    Serve(*FindUvcProfile("c920"));
    Open();
    node->Hang();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Read(CamGetPan));
    const auto waited = std::chrono::steady_clock::now() - start;
    // The reply time-out is 400 ms; generous for a loaded machine, far from "forever".
    EXPECT_LT(waited, std::chrono::seconds(3));
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK).size() == 2; }));
    EXPECT_EQ(window.Params(WM_CAMERA_LINK).back(), 0u);
    EXPECT_EQ(CamDrive(kUp), 0) << "a lost link fails at once";
    EXPECT_EQ(CamIsPresent(), 0);
}

TEST_F(UvcCameraLibrary, TheChoiceListsCapableNodesByNameAndStablePath)
{
    Serve(*FindUvcProfile("tiny"));
    const std::string dev = TestRootDir().toStdString() + "/dev";
    ::mkdir(dev.c_str(), 0755);
    ::mkdir((dev + "/v4l").c_str(), 0755);
    ::mkdir((dev + "/v4l/by-id").c_str(), 0755);
    ASSERT_EQ(::symlink(node->Path().c_str(), (dev + "/video0").c_str()), 0);
    ASSERT_EQ(::symlink("../../video0", (dev + "/v4l/by-id/usb-Virtual_Tiny-video-index0").c_str()), 0);
    std::ofstream(dev + "/video1") << "not a V4L2 node";
    const std::vector<UvcNodeInfo> nodes = ListUvcNodes(dev);
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].path, dev + "/v4l/by-id/usb-Virtual_Tiny-video-index0");
    EXPECT_EQ(nodes[0].card, "OBSBOT Tiny (virtual)");
}

} // namespace
