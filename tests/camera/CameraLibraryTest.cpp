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
        camera.reset();  // before the trace it writes to
    }

    void Open()  // and wait for the link message
    {
        char port[20] = {};
        ASSERT_EQ(CamFindPort(port), 1);
        CamOpen(port, &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
        ASSERT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_LINK).empty(); }));
        ASSERT_EQ(window.Params(WM_CAMERA_LINK).front(), 1u);
        ASSERT_EQ(CamIsOpen(), 1);
    }

    static std::string Version()
    {
        char v[32] = {};
        return CamGetFirmwareVersion(v) == 1 ? v : "(failed)";
    }
    static int FirmwareHandle()
    {
        char port[20] = {};
        return CamFindPort(port) == 1 ? CamFirmwareOpen(port) : -2;
    }
    int Write(int handle, const unsigned char* image, int size)
    {
        return CamFirmwareWrite(handle, image, size, &window, WM_FW_WRITE_PROGRESS);
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
    EXPECT_TRUE(Traced("address-set") && Traced("if-clear"));

    for (WPARAM stand : {3u, 2u}) {
        camera->SetStand(static_cast<int>(stand));
        ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_MODE).back() == stand; }));
    }
}

TEST_F(CameraLibrary, DriveStartsAndStopsTheAxesOfTheBitTable)
{
    Open();
    auto drive = [&](int bits) {  // pan, tilt and zoom direction after the drive
        EXPECT_EQ(CamDrive(bits), 1) << bits;
        const CameraModel m = camera->Snapshot();
        return std::vector<int>{m.panDirection, m.tiltDirection, m.zoomDirection};
    };
    EXPECT_EQ(drive(10), (std::vector<int>{-1, 1, 0}));  // up + left
    EXPECT_TRUE(Traced("drive bits=10"));
    int pan = -1;
    ASSERT_EQ(CamGetPan(&pan), 1);
    ASSERT_TRUE(WaitUntil([&] {
        int now = -1;
        return CamGetPan(&now) && now < pan;
    }));
    EXPECT_EQ(drive(0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(drive(16), (std::vector<int>{0, 0, 1}));  // 16 zooms in
    EXPECT_EQ(drive(32), (std::vector<int>{0, 0, -1}));
    ASSERT_EQ(CamSetPosition(2, 90, 40, 90, 90), 1);
    drive(32);
    EXPECT_EQ(drive(5), (std::vector<int>{1, -1, 0}));  // down + right; the zoom that ran is stopped
    EXPECT_EQ(drive(0), (std::vector<int>{0, 0, 0}));
}

TEST_F(CameraLibrary, AbsolutePositionReadsBackThroughEachGetter)
{
    Open();
    // Out-of-range values (a damaged profile) are clamped, not sent raw.
    const int cases[][9] = {{1, 65, 75, 39, 0, 65, 75, 39, 0}, {2, 360, 0, 180, 270, 360, 0, 180, 270},
                            {2, -40, 500, 9999, -1, 0, 79, 180, 0}};
    for (const auto& c : cases) {
        ASSERT_EQ(CamSetPosition(c[0], c[1], c[2], c[3], c[4]), 1);
        int got[4] = {-1, -1, -1, -1};
        ASSERT_EQ(CamGetPan(&got[0]) + CamGetTilt(&got[1]) + CamGetZoom(&got[2]) + CamGetRoll(&got[3]), 4);
        EXPECT_EQ(std::vector<int>(got, got + 4), std::vector<int>(c + 5, c + 9)) << c[1];
    }
    EXPECT_TRUE(Traced("set-position kind=1 pan=65 tilt=75 zoom=39 roll=0"));
    EXPECT_EQ(CamSetPosition(7, 1, 1, 1, 1), 0);  // no such kind
}

TEST_F(CameraLibrary, ViewsVideoFormatCommitAndVersion)
{
    Open();
    int zoom = -1, format = -1;
    for (auto [view, expectedZoom] : {std::pair{3, 120}, {0, 0}}) {
        ASSERT_EQ(CamSelectView(view), 1);
        ASSERT_EQ(CamGetZoom(&zoom), 1);
        EXPECT_EQ(zoom, expectedZoom);
    }
    EXPECT_TRUE(Traced("select-view view=3"));
    EXPECT_EQ(CamSelectView(5), 0);  // the camera refuses views it does not have
    ASSERT_EQ(CamGetVideoFormat(&format), 1);
    EXPECT_EQ(format, 0);
    ASSERT_EQ(CamSetVideoFormat(1), 1);
    ASSERT_EQ(CamCommitSettings(), 1);
    EXPECT_TRUE(Traced("video-format format=1") && Traced("commit"));
    ASSERT_EQ(CamGetVideoFormat(&format), 1);
    EXPECT_EQ(format, 1);
    EXPECT_EQ(CamSetVideoFormat(2), 0);
    EXPECT_EQ(Version(), "2.03");
}

TEST_F(CameraLibrary, FirmwareWriteReportsProgressAndTheCameraRestartsWithTheNewVersion)
{
    const int handle = FirmwareHandle();
    ASSERT_GE(handle, 0);
    const auto image = FirmwareImage("2.10", 5000);
    EXPECT_EQ(Write(handle, image.data(), static_cast<int>(image.size())), 1);
    CamFirmwareClose(handle);
    EXPECT_TRUE(Traced("firmware-write bytes=" + std::to_string(image.size())));

    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_FW_WRITE_PROGRESS).size() >= 2; }));
    const auto progress = window.Params(WM_FW_WRITE_PROGRESS);
    EXPECT_EQ((std::pair{progress.front(), progress.back()}), (std::pair<WPARAM, WPARAM>{0, 100}));
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    // The port goes away for the restart and comes back.
    ASSERT_TRUE(WaitUntil([&] { return Traced("restarting ms=300"); }));
    ASSERT_TRUE(WaitUntil([&] { return CamIsPresent() == 1 && camera->IsAttached(); }));
    Open();
    EXPECT_EQ(Version(), "2.10");
}

TEST_F(CameraLibrary, AnImageWithoutTheMarkerIsRefusedAndNothingRestarts)
{
    const int handle = FirmwareHandle();
    auto image = FirmwareImage("9.99", 600);
    image[0] = 'X';
    EXPECT_EQ(Write(handle, image.data(), static_cast<int>(image.size())), 0);
    EXPECT_EQ(Write(handle, nullptr, 10), 0);
    EXPECT_EQ(Write(-1, image.data(), 10), 0);
    CamFirmwareClose(handle);
    EXPECT_TRUE(Traced("firmware-end result=refused"));
    EXPECT_EQ(CamFirmwareOpen("/nonexistent/port"), -1);

    Open();
    EXPECT_EQ(Version(), "2.03");
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

TEST_F(CameraLibrary, ASlowCameraTeachesTheRightValuesOrNone)
{
    // A zoom of 10 read as a roll is 91: within range, so only the matching can catch it.
    const int truth[4] = {65, 20, 10, 180}, before[4] = {90, 0, 90, 90};
    for (int delayMs : {150, 450, 600, 700}) {
        SCOPED_TRACE(delayMs);
        CamClose();
        camera->Detach();  // drops replies still on their way
        ASSERT_TRUE(camera->Attach());
        window.Clear();
        Open();
        ASSERT_EQ(CamSetPosition(2, truth[0], truth[1], truth[2], truth[3]), 1);
        camera->SetReplyDelay(delayMs);
        for (int round = 0; round < 2; ++round) {
            // The read-back of a taught preset: each value stored only when its getter says so.
            int preset[4] = {before[0], before[1], before[2], before[3]};
            int value = -1;
            int (*const getters[4])(int*) = {CamGetPan, CamGetTilt, CamGetZoom, CamGetRoll};
            for (int i = 0; i < 4; ++i)
                if (value = -1; getters[i](&value))
                    preset[i] = value;
            for (int i = 0; i < 4; ++i)
                EXPECT_TRUE(preset[i] == truth[i] || preset[i] == before[i]) << "value " << i << " = " << preset[i];
            if (delayMs < 400) {
                EXPECT_EQ(std::vector<int>(preset, preset + 4), std::vector<int>(truth, truth + 4));
            }
        }
        camera->SetReplyDelay(0);
    }
}

TEST_F(CameraLibrary, ALateAnswerIsNotTakenForTheNextCommand)
{
    Open();
    camera->SetReplyDelay(450);  // past the 400 ms time-out
    EXPECT_EQ(CamSelectView(3), 0);
    // View 5 is refused by the camera: view 3's ACK, arriving now, is not its answer.
    EXPECT_EQ(CamSelectView(5), 0);
    camera->SetReplyDelay(0);
}
