// End to end: the simulator process plays the speakerphone, the tracking worker in this
// process posts what it hears.
#include "platform/WinMessages.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"
#include "platform/NamedLock.h"
#include "tracking/DeviceReportReader.h"
#include "tracking/SharedRecordSource.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingWorker.h"
#include "tracking/uxapi/UxDeviceLink.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

namespace {

using Posts = std::vector<WPARAM>;

class SimulatorTrackingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static int n = 0;
        ::setenv("QVT_VZ1_SHM_PREFIX",
                 ("qvt-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(++n) + "-").c_str(), 1);
        sim.setProgram(QString::fromLocal8Bit(std::getenv("QVT_SIM")));
        sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim.start();
        ASSERT_TRUE(sim.waitForStarted(10000));
    }
    void TearDown() override
    {
        worker.Stop();
        Say({"quit"});
        EXPECT_TRUE(sim.waitForFinished(10000));
        EXPECT_EQ(sim.exitCode(), 0);
        ::unlink(SharedMutexPath(kQvt18TRMutexName).c_str());  // this test's own lock files
        ::unlink(SharedMutexPath(kMzcMutexName).c_str());
    }

    void Say(std::initializer_list<const char*> lines)
    {
        for (const char* line : lines)
            sim.write(QByteArray(line) + "\n");
        sim.waitForBytesWritten(1000);
    }
    bool Exists(const std::string& path) { return WaitUntil([&] { return ::access(path.c_str(), F_OK) == 0; }); }
    bool PostedBecomes(const Posts& expected)
    {
        return WaitUntil([&] { return window.Params(WM_TRACKING_DIRECTION) == expected; });
    }

    QProcess sim;
    RecordingWindow window;
    CTrackingWorker worker;
};

TEST_F(SimulatorTrackingTest, CompanionSoftwareTalker)
{
    Say({"speakerphone mzc-90x", "talk 2"});
    ASSERT_TRUE(worker.Start(kTrackingQvt90XMzc, &window, SystemClock()));
    EXPECT_TRUE(PostedBecomes({255, 2}));
    // The other model's talker is never posted; the switches may be seen as silence.
    Say({"speakerphone mzc-40s", "talk 5", "speakerphone mzc-90x", "talk 0"});
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_TRACKING_DIRECTION).back() == 0; }));
    const Posts posts = window.Params(WM_TRACKING_DIRECTION);
    EXPECT_EQ(std::count(posts.begin(), posts.end(), 5), 0);
    EXPECT_EQ(Posts(posts.begin(), posts.begin() + 2), (Posts{255, 2}));
}

TEST_F(SimulatorTrackingTest, DeviceFileTalker)
{
    Say({"speakerphone 40s"});
    ASSERT_TRUE(Exists(TrackingDevicePath()));
    ASSERT_TRUE(worker.Start(kTrackingQvt40S, &window, SystemClock()));
    Say({"talk 4"});
    EXPECT_TRUE(PostedBecomes({255, 4}));
}

TEST_F(SimulatorTrackingTest, UsbLibraryTalker)
{
    Say({"speakerphone-version 1.32", "speakerphone 90ux"});
    ASSERT_TRUE(Exists(UxDeviceLinkPath()));
    ASSERT_TRUE(worker.Start(kTrackingQvt90UX, &window, SystemClock()));
    Say({"talk 1"});
    EXPECT_TRUE(PostedBecomes({255, 1}));
}

}  // namespace
