// qvt-vz1-sim as its own process, driven through standard input and a script, seen
// through its trace on standard output and through the camera library.
#include "camera/CameraAnnouncement.h"
#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "platform/WinMessages.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class SimProcess : public ::testing::Test
{
protected:
    void Start(QStringList args)
    {
        args << QStringLiteral("--trace") << QStringLiteral("--restart-ms") << QStringLiteral("200");
        sim.setProgram(QStringLiteral(QVT_SIM_PATH));
        sim.setArguments(args);
        sim.start();
        ASSERT_TRUE(sim.waitForStarted(10000));
    }

    void TearDown() override
    {
        CamClose();
        if (sim.state() != QProcess::NotRunning) {
            sim.kill();
            sim.waitForFinished(10000);
        }
        RemoveCameraAnnouncement();
    }

    // Waits for a line of the trace; lines read are kept.
    bool WaitForLine(const QString& line)
    {
        return WaitUntil([&] {
            while (sim.canReadLine())
                lines << QString::fromUtf8(sim.readLine()).trimmed();
            return lines.contains(line);
        });
    }

    void Command(const char* text) { sim.write(QByteArray(text) + '\n'); }

    QProcess sim;
    QStringList lines;
    RecordingWindow window;
};

} // namespace

TEST_F(SimProcess, AnnouncesItselfAndAnswersTheLibraryWhileTracing)
{
    Start({QStringLiteral("--stay")});
    ASSERT_TRUE(WaitUntil([] { return CamIsPresent() == 1; }));
    char port[20] = {};
    ASSERT_EQ(CamFindPort(port), 1);
    ASSERT_TRUE(WaitForLine(QStringLiteral("attached port=") + QString::fromLatin1(port)));

    CamOpen(port, &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK) == std::vector<WPARAM>{1}; }));
    CamSetPosition(1, 65, 75, 39, 0);
    EXPECT_TRUE(WaitForLine(QStringLiteral("set-position kind=1 pan=65 tilt=75 zoom=39 roll=0")));
    CamDrive(10);
    EXPECT_TRUE(WaitForLine(QStringLiteral("drive bits=10")));

    Command("stand front");
    EXPECT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_MODE).empty() && window.Params(WM_CAMERA_MODE).back() == 3; }));

    Command("detach");
    EXPECT_TRUE(WaitForLine(QStringLiteral("detached")));
    EXPECT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK).back() == 0; }));
    EXPECT_EQ(CamIsPresent(), 0);
    CamClose();

    Command("attach");
    EXPECT_TRUE(WaitUntil([] { return CamIsPresent() == 1; }));

    // A signal ends it cleanly: the announcement goes with it.
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(CameraAnnouncementPath())));
}

TEST_F(SimProcess, EndOfInputWithoutStayQuitsAndWithdrawsTheAnnouncement)
{
    Start({});
    ASSERT_TRUE(WaitUntil([] { return CamIsPresent() == 1; }));
    sim.closeWriteChannel();
    ASSERT_TRUE(sim.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_EQ(CamIsPresent(), 0);
}

TEST_F(SimProcess, RunsAScriptFile)
{
    const QString script = TestRootDir() + QStringLiteral("/meeting.txt");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# the camera turns, then is unplugged\nstand ohp\nversion 3.01\nwait 20\nstatus\ndetach\nquit\n");
    file.close();
    Start({QStringLiteral("--script"), script});
    ASSERT_TRUE(sim.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 0);
    lines = QString::fromUtf8(sim.readAllStandardOutput()).split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(QStringLiteral("detached")));
    const QStringList status = lines.filter(QStringLiteral("camera attached=1"));
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status.front().contains(QStringLiteral("stand=ohp version=3.01")));
    EXPECT_EQ(CamIsPresent(), 0);
}

TEST_F(SimProcess, RejectsBadOptions)
{
    const QStringList bad[] = {{QStringLiteral("--stand"), QStringLiteral("sideways")},
                               {QStringLiteral("--model"), QStringLiteral("other")},
                               {QStringLiteral("--listen-udp"), QStringLiteral("70000")},
                               {QStringLiteral("--no-pty")}};  // nothing left to serve
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        Start(args);
        ASSERT_TRUE(sim.waitForFinished(10000));
        EXPECT_EQ(sim.exitCode(), 2);
        EXPECT_TRUE(QString::fromUtf8(sim.readAllStandardOutput()).contains(QStringLiteral("usage:")));
        EXPECT_EQ(CamIsPresent(), 0);
    }
}

TEST_F(SimProcess, ServesAGenericCameraOverViscaIpThatComesAndGoes)
{
    Start({QStringLiteral("--stay"), QStringLiteral("--model"), QStringLiteral("generic"),
           QStringLiteral("--listen-visca-ip"), QStringLiteral("0"), QStringLiteral("--no-pty")});
    const QString prefix = QStringLiteral("listening visca-ip port=");
    ASSERT_TRUE(WaitUntil([&] {
        while (sim.canReadLine())
            lines << QString::fromUtf8(sim.readLine()).trimmed();
        return !lines.filter(prefix).isEmpty();
    }));
    CameraConnection c;
    c.kind = CameraConnection::Kind::Network;
    c.host = "127.0.0.1";
    c.port = lines.filter(prefix).front().mid(prefix.size()).toInt();
    CamConfigure(c);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(CameraAnnouncementPath()))) << "no pseudo-terminal announced";
    ASSERT_EQ(CamIsPresent(), 1);
    CamOpen("network", &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK) == std::vector<WPARAM>{1}; }));
    CamSetPosition(1, 65, 75, 39, 0);
    EXPECT_TRUE(WaitForLine(QStringLiteral("zoom-direct zoom=39")));
    EXPECT_TRUE(lines.contains(QStringLiteral("ip-reset sequence=0")));
    EXPECT_TRUE(lines.filter(QStringLiteral("set-position")).isEmpty()) << "no roll frame";

    Command("detach");
    EXPECT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK).back() == 0; }));
    CamClose();
    EXPECT_EQ(CamIsPresent(), 0);
    Command("attach");
    EXPECT_TRUE(WaitUntil([] { return CamIsPresent() == 1; }));
    CamConfigure({});
}

TEST_F(SimProcess, ADatagramPortInUseIsRefusedNotShared)
{
    Start({QStringLiteral("--stay"), QStringLiteral("--listen-udp"), QStringLiteral("0"), QStringLiteral("--no-pty")});
    const QString prefix = QStringLiteral("listening udp port=");
    ASSERT_TRUE(WaitUntil([&] {
        while (sim.canReadLine())
            lines << QString::fromUtf8(sim.readLine()).trimmed();
        return !lines.filter(prefix).isEmpty();
    }));
    const QString port = lines.filter(prefix).front().mid(prefix.size());
    QProcess second;
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(QStringLiteral(QVT_SIM_PATH), {QStringLiteral("--listen-udp"), port, QStringLiteral("--no-pty"), QStringLiteral("--trace")});
    second.closeWriteChannel();
    ASSERT_TRUE(second.waitForFinished(10000));
    const QString output = QString::fromUtf8(second.readAll());
    EXPECT_TRUE(output.contains(QStringLiteral("Address already in use"))) << output.toStdString();
}
