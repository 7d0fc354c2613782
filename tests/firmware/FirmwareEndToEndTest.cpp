// The update worker with the real camera library against the virtual camera process and a
// firmware file served over HTTP on 127.0.0.1.
#include "camera/QvtVz1Api.h"
#include "firmware/FirmwareUpdateWorker.h"
#include "firmware/SystemFirmwareUpdateServices.h"
#include "platform/Prompt.h"
#include "platform/WinMessages.h"
#include "tests/firmware/FirmwareFile.h"
#include "tests/firmware/LocalHttpServer.h"
#include "tests/support/ManualClock.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include <algorithm>

namespace {

using Msgs = std::vector<RecordedMessage>;

// The product's download and channel read; every question answered with OK.
class AnswerOk final : public FirmwareUpdateServices
{
public:
    DownloadResult Download(const std::string& u, CByteStream& s, const std::atomic<int>& c) override
    {
        return SystemFirmwareServices().Download(u, s, c);
    }
    LocalFileResult LoadLocalFile(CByteStream&, const std::atomic<int>&) override { return LocalFileResult::Failed; }
    int Ask(const QString&, UINT, const std::atomic<int>&) override { return IDOK; }
    void DrainChannel(int handle) override { SystemFirmwareServices().DrainChannel(handle); }
};

class FirmwareEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_GT(server.Port(), 0);
        sim.start(QString::fromLocal8Bit(qgetenv("QVT_BINARY_DIR")) + "/sim/qvt-vz1-sim",
                  {"--version", "2.03", "--restart-ms", "300"});
        ASSERT_TRUE(sim.waitForStarted(10000));
        ASSERT_TRUE(WaitUntil([&] { return CameraVersion() == "2.03"; }, 20000));
        char port[20] = {};
        ASSERT_TRUE(CamFindPort(port));
        inputs = {port, "", "2.03", 0};
    }
    void TearDown() override
    {
        sim.closeWriteChannel();  // the end of its input ends the simulator
        if (!sim.waitForFinished(10000))
            sim.kill(), sim.waitForFinished(5000);
    }
    // As the library reads it over a fresh link; empty when the camera does not answer.
    std::string CameraVersion()
    {
        char port[20] = {}, version[32] = {};
        if (!CamIsPresent() || !CamFindPort(port))
            return {};
        CamOpen(port, &linkWindow, WM_CAMERA_LINK, WM_CAMERA_MODE);
        const bool ok = CamGetFirmwareVersion(version);
        CamClose();
        return ok ? version : "";
    }
    Msgs Run(const std::string& url)
    {
        window.Clear();
        inputs.strDownloadUrl = url;
        FirmwareUpdateThread(&window, inputs, services, clock, cancel);
        QCoreApplication::sendPostedEvents(&window);
        return window.Messages();
    }

    QProcess sim;
    LocalHttpServer server;
    RecordingWindow window, linkWindow;  // the library's link messages apart from the worker's
    AnswerOk services;
    ManualClock clock;
    std::atomic<int> cancel{0};
    FirmwareUpdateInputs inputs;
};

TEST_F(FirmwareEndToEnd, DownloadedImageIsWrittenAndTheCameraComesBackWithIt)
{
    const auto file = MakeFirmwareFile(MakeCameraImage("2.10", 20000), "2.10");
    server.Answer("/QVTVZ1.BIN", {200, std::string(file.begin(), file.end())});
    const auto msgs = Run(server.Url("/QVTVZ1.BIN"));
    ASSERT_GE(msgs.size(), 4u);
    EXPECT_EQ(msgs[0], (RecordedMessage{WM_FW_DOWNLOADED, 1, 0}));
    EXPECT_EQ(msgs[1], (RecordedMessage{WM_FW_LOADED, 0, 0}));
    EXPECT_EQ(msgs.back(), (RecordedMessage{WM_FW_FINISHED, FW_RESULT_COMPLETED, 0}));
    const auto progress = window.Params(WM_FW_WRITE_PROGRESS);
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress.front(), 0u);
    EXPECT_EQ(progress.back(), 100u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end())) << "progress climbs";
    EXPECT_EQ(window.Params(WM_FW_RESTART_PROGRESS).size(), 12u);
    // The camera restarts on its own time; then it reports the new version.
    EXPECT_TRUE(WaitUntil([&] { return CameraVersion() == "2.10"; }, 30000));
}

TEST_F(FirmwareEndToEnd, MissingFileAndDeadServerLeaveTheCameraAsItWas)
{
    EXPECT_EQ(Run(server.Url("/missing/QVTVZ1.BIN")),
              (Msgs{{WM_FW_DOWNLOADED, 1, 0},
                    {WM_FW_LOADED, static_cast<WPARAM>(static_cast<LPARAM>(-5)), 0},
                    {WM_FW_FINISHED, FW_RESULT_FAILED, 0}}));
    const std::string dead = "http://127.0.0.1:" + std::to_string(LocalHttpServer::DeadPort()) + "/QVTVZ1.BIN";
    EXPECT_EQ(Run(dead), (Msgs{{WM_FW_DOWNLOADED, 0, 0}, {WM_FW_FINISHED, FW_RESULT_FAILED, 0}}));
    EXPECT_EQ(CameraVersion(), "2.03");
}

} // namespace
