// The real camera library against the virtual camera running in this process on a real
// pseudo-terminal.
#include "camera/CameraAnnouncement.h"
#include "camera/QvtVz1Api.h"
#include "platform/WinMessages.h"
#include "sim/VirtualCamera.h"
#include "tests/support/RecordingWindow.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>

namespace {

class CameraLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VirtualCameraOptions options;
        options.restartMs = 300;
        options.restartDelayMs = 50;
        camera = std::make_unique<VirtualCamera>(options, [this](const std::string& line) {
            std::lock_guard lock(traceMutex);
            trace.push_back(line);
        });
        ASSERT_TRUE(camera->Attach());
    }

    void TearDown() override
    {
        CamClose();
        camera.reset();
    }

    // Opens the announced camera and waits for the link message.
    void Open()
    {
        char port[20] = {};
        ASSERT_EQ(CamFindPort(port), 1);
        CamOpen(port, &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
        ASSERT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_LINK).empty(); }));
        ASSERT_EQ(window.Params(WM_CAMERA_LINK).front(), 1u);
        ASSERT_EQ(CamIsOpen(), 1);
    }

    bool Traced(const std::string& line)
    {
        std::lock_guard lock(traceMutex);
        return std::find(trace.begin(), trace.end(), line) != trace.end();
    }

    RecordingWindow window;
    std::unique_ptr<VirtualCamera> camera;
    std::mutex traceMutex;
    std::vector<std::string> trace;
};

std::vector<unsigned char> FirmwareImage(const char* version, size_t payload)
{
    std::vector<unsigned char> image(16 + payload);
    std::memcpy(image.data(), "QVTVZ1FW", 8);
    std::strncpy(reinterpret_cast<char*>(image.data() + 8), version, 8);
    for (size_t i = 0; i < payload; ++i)
        image[16 + i] = static_cast<unsigned char>(i * 7);
    return image;
}

} // namespace

TEST_F(CameraLibrary, PresenceAndPortFollowTheAnnouncement)
{
    char port[20] = {};
    EXPECT_EQ(CamIsPresent(), 1);
    ASSERT_EQ(CamFindPort(port), 1);
    EXPECT_EQ(std::string(port), camera->PortPath());

    camera->Detach();
    EXPECT_EQ(CamIsPresent(), 0);
    EXPECT_EQ(CamFindPort(port), 0);

    // A stale announcement naming a port that no longer exists announces nothing.
    ASSERT_TRUE(WriteCameraAnnouncement("/dev/pts/99999"));
    EXPECT_EQ(CamIsPresent(), 0);
    // Nor does a garbled one.
    std::ofstream(CameraAnnouncementPath()) << "\x01\x02 not a path";
    EXPECT_EQ(CamIsPresent(), 0);
    RemoveCameraAnnouncement();
}

TEST_F(CameraLibrary, OpenPostsTheLinkAndTheStandAndEveryStandChange)
{
    Open();
    ASSERT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_MODE).empty(); }));
    EXPECT_EQ(window.Params(WM_CAMERA_MODE).front(), 1u);  // Upside by default
    EXPECT_TRUE(Traced("address-set"));
    EXPECT_TRUE(Traced("if-clear"));

    camera->SetStand(3);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_MODE).back() == 3u; }));
    camera->SetStand(2);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_MODE).back() == 2u; }));
}

TEST_F(CameraLibrary, DriveStartsAndStopsTheAxesOfTheBitTable)
{
    Open();
    ASSERT_EQ(CamDrive(10), 1);  // up + left
    CameraModel m = camera->Snapshot();
    EXPECT_EQ(m.tiltDirection, 1);
    EXPECT_EQ(m.panDirection, -1);
    EXPECT_EQ(m.zoomDirection, 0);
    EXPECT_TRUE(Traced("drive bits=10"));

    int pan = -1;
    ASSERT_EQ(CamGetPan(&pan), 1);
    ASSERT_TRUE(WaitUntil([&] {
        int now = -1;
        return CamGetPan(&now) && now < pan;
    }));

    ASSERT_EQ(CamDrive(0), 1);
    m = camera->Snapshot();
    EXPECT_FALSE(m.Moving());

    ASSERT_EQ(CamDrive(16), 1);
    EXPECT_EQ(camera->Snapshot().zoomDirection, 1);  // 16 zooms in
    ASSERT_EQ(CamDrive(32), 1);
    EXPECT_EQ(camera->Snapshot().zoomDirection, -1);
    ASSERT_EQ(CamSetPosition(2, 90, 40, 90, 90), 1);
    ASSERT_EQ(CamDrive(32), 1);
    ASSERT_EQ(CamDrive(5), 1);  // down + right; the zoom that ran is stopped
    m = camera->Snapshot();
    EXPECT_EQ(m.zoomDirection, 0);
    EXPECT_EQ(m.tiltDirection, -1);
    EXPECT_EQ(m.panDirection, 1);
    ASSERT_EQ(CamDrive(0), 1);
    EXPECT_FALSE(camera->Snapshot().Moving());
}

TEST_F(CameraLibrary, AbsolutePositionReadsBackThroughEachGetter)
{
    Open();
    ASSERT_EQ(CamSetPosition(1, 65, 75, 39, 0), 1);
    EXPECT_TRUE(Traced("set-position kind=1 pan=65 tilt=75 zoom=39 roll=0"));
    int pan = -1, tilt = -1, zoom = -1, roll = -1;
    ASSERT_EQ(CamGetPan(&pan), 1);
    ASSERT_EQ(CamGetTilt(&tilt), 1);
    ASSERT_EQ(CamGetZoom(&zoom), 1);
    ASSERT_EQ(CamGetRoll(&roll), 1);
    EXPECT_EQ(pan, 65);
    EXPECT_EQ(tilt, 75);
    EXPECT_EQ(zoom, 39);
    EXPECT_EQ(roll, 0);

    ASSERT_EQ(CamSetPosition(2, 360, 0, 180, 270), 1);
    ASSERT_EQ(CamGetPan(&pan), 1);
    ASSERT_EQ(CamGetZoom(&zoom), 1);
    ASSERT_EQ(CamGetRoll(&roll), 1);
    EXPECT_EQ(pan, 360);
    EXPECT_EQ(zoom, 180);
    EXPECT_EQ(roll, 270);

    // Values from a damaged profile are clamped to the camera's range, not sent raw.
    ASSERT_EQ(CamSetPosition(2, -40, 500, 9999, -1), 1);
    ASSERT_EQ(CamGetPan(&pan), 1);
    ASSERT_EQ(CamGetTilt(&tilt), 1);
    EXPECT_EQ(pan, 0);
    EXPECT_EQ(tilt, 79);
    EXPECT_EQ(CamSetPosition(7, 1, 1, 1, 1), 0);  // no such kind
}

TEST_F(CameraLibrary, ViewsVideoFormatCommitAndVersion)
{
    Open();
    ASSERT_EQ(CamSelectView(3), 1);
    EXPECT_TRUE(Traced("select-view view=3"));
    int zoom = -1;
    ASSERT_EQ(CamGetZoom(&zoom), 1);
    EXPECT_EQ(zoom, 120);
    ASSERT_EQ(CamSelectView(0), 1);
    ASSERT_EQ(CamGetZoom(&zoom), 1);
    EXPECT_EQ(zoom, 0);
    EXPECT_EQ(CamSelectView(5), 0);  // the camera refuses views it does not have

    int format = -1;
    ASSERT_EQ(CamGetVideoFormat(&format), 1);
    EXPECT_EQ(format, 0);
    ASSERT_EQ(CamSetVideoFormat(1), 1);
    ASSERT_EQ(CamCommitSettings(), 1);
    EXPECT_TRUE(Traced("video-format format=1"));
    EXPECT_TRUE(Traced("commit"));
    ASSERT_EQ(CamGetVideoFormat(&format), 1);
    EXPECT_EQ(format, 1);
    EXPECT_EQ(CamSetVideoFormat(2), 0);

    char version[32] = {};
    ASSERT_EQ(CamGetFirmwareVersion(version), 1);
    EXPECT_STREQ(version, "2.03");
}

TEST_F(CameraLibrary, FirmwareWriteReportsProgressAndTheCameraRestartsWithTheNewVersion)
{
    char port[20] = {};
    ASSERT_EQ(CamFindPort(port), 1);
    const int handle = CamFirmwareOpen(port);
    ASSERT_GE(handle, 0);
    const auto image = FirmwareImage("2.10", 5000);
    EXPECT_EQ(CamFirmwareWrite(handle, image.data(), static_cast<int>(image.size()), &window, WM_FW_WRITE_PROGRESS), 1);
    CamFirmwareClose(handle);
    EXPECT_TRUE(Traced("firmware-write bytes=" + std::to_string(image.size())));

    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_FW_WRITE_PROGRESS).size() >= 2; }));
    const auto progress = window.Params(WM_FW_WRITE_PROGRESS);
    EXPECT_EQ(progress.front(), 0u);
    EXPECT_EQ(progress.back(), 100u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    // The port goes away for the restart and comes back.
    ASSERT_TRUE(WaitUntil([&] { return Traced("restarting ms=300"); }));
    ASSERT_TRUE(WaitUntil([&] { return CamIsPresent() == 1 && camera->IsAttached(); }));
    Open();
    char version[32] = {};
    ASSERT_EQ(CamGetFirmwareVersion(version), 1);
    EXPECT_STREQ(version, "2.10");
}

TEST_F(CameraLibrary, AnImageWithoutTheMarkerIsRefusedAndNothingRestarts)
{
    char port[20] = {};
    ASSERT_EQ(CamFindPort(port), 1);
    const int handle = CamFirmwareOpen(port);
    auto image = FirmwareImage("9.99", 600);
    image[0] = 'X';
    EXPECT_EQ(CamFirmwareWrite(handle, image.data(), static_cast<int>(image.size()), &window, WM_FW_WRITE_PROGRESS), 0);
    EXPECT_EQ(CamFirmwareWrite(handle, nullptr, 10, &window, WM_FW_WRITE_PROGRESS), 0);
    EXPECT_EQ(CamFirmwareWrite(-1, image.data(), 10, &window, WM_FW_WRITE_PROGRESS), 0);
    CamFirmwareClose(handle);
    EXPECT_TRUE(Traced("firmware-end result=refused"));
    EXPECT_EQ(CamFirmwareOpen("/nonexistent/port"), -1);

    Open();
    char version[32] = {};
    ASSERT_EQ(CamGetFirmwareVersion(version), 1);
    EXPECT_STREQ(version, "2.03");
    EXPECT_TRUE(camera->IsAttached());
}

TEST_F(CameraLibrary, UnplugWhileOpenPostsLinkLost)
{
    Open();
    camera->Detach();
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK).size() == 2; }));
    EXPECT_EQ(window.Params(WM_CAMERA_LINK).back(), 0u);
    EXPECT_EQ(CamIsOpen(), 0);
    int pan = 77;
    EXPECT_EQ(CamGetPan(&pan), 0);
    EXPECT_EQ(pan, 77);
    CamClose();
    // Nothing is posted after the close.
    const size_t count = window.Messages().size();
    camera->Attach();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.Messages().size(), count);
}

TEST_F(CameraLibrary, MissingOrWrongPortGivesCommunicationError)
{
    CamOpen("/dev/qvt-no-such-port", &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_COMM_ERROR).size() == 1; }));
    EXPECT_EQ(CamIsOpen(), 0);
    CamOpen("/dev/null", &window, WM_CAMERA_LINK, WM_CAMERA_MODE);  // not a terminal
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_COMM_ERROR).size() == 2; }));
    CamOpen(nullptr, &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_COMM_ERROR).size() == 3; }));
    EXPECT_TRUE(window.Params(WM_CAMERA_LINK).empty());
    int format = 5;
    EXPECT_EQ(CamGetVideoFormat(&format), 0);
    EXPECT_EQ(format, 5);
}

TEST_F(CameraLibrary, SilentCameraFailsGettersInTimeAndLosesTheLink)
{
    camera->SetMute(true);
    char port[20] = {};
    ASSERT_EQ(CamFindPort(port), 1);
    CamOpen(port, &window, WM_CAMERA_LINK, WM_CAMERA_MODE);  // never answers the link start
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_COMM_ERROR).size() == 1; }));

    camera->SetMute(false);
    Open();
    camera->SetMute(true);
    int pan = 42;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CamGetPan(&pan), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(pan, 42);
    EXPECT_EQ(CamGetZoom(&pan), 0);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK).size() == 2; }));
    EXPECT_EQ(window.Params(WM_CAMERA_LINK).back(), 0u);
    EXPECT_EQ(CamIsOpen(), 0);
}

TEST_F(CameraLibrary, GarbledAnswersFailGettersAndTheLinkRecoversWhenTheyStop)
{
    Open();
    camera->SetGarble(true);
    int roll = 11;
    EXPECT_EQ(CamGetRoll(&roll), 0);
    EXPECT_EQ(roll, 11);
    camera->SetGarble(false);
    ASSERT_EQ(CamGetRoll(&roll), 1);
    EXPECT_EQ(roll, 90);
    EXPECT_EQ(CamIsOpen(), 1);
}
