// End to end with real processes: the simulator plays camera and speakerphone, the
// controller program tracks the talker and the camera receives the Upside presets.
#include "tests/support/RecordingWindow.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

const char* const kPreset2 = "set-position kind=1 pan=60 tilt=20 zoom=40 roll=100";
const char* const kPreset6 = "set-position kind=1 pan=120 tilt=10 zoom=80 roll=80";

struct Source
{
    int kind;
    const char* speakerphone;
};

class TrackingEndToEndTest : public ::testing::TestWithParam<Source>
{
protected:
    void Say(const char* line)
    {
        sim.write(QByteArray(line) + '\n');
        sim.waitForBytesWritten(1000);
    }
    // Waits for a trace line after those already consumed: equal to text, or starting with it.
    bool Traced(const QString& text, bool prefix = false)
    {
        return WaitUntil([&] {
            while (sim.canReadLine())
                lines << QString::fromUtf8(sim.readLine()).trimmed();
            while (next < lines.size())
                if (prefix ? lines[next++].startsWith(text) : lines[next++] == text)
                    return true;
            return false;
        });
    }

    QProcess sim, controller;
    QStringList lines;
    qsizetype next = 0;
};

TEST_P(TrackingEndToEndTest, TalkerAndSilenceSendTheUpsidePresets)
{
    const Source source = GetParam();
    ::setenv("QVT_VZ1_SHM_PREFIX", ("qvt-e2e-ctl-" + std::to_string(::getpid()) + "-"
                                    + std::to_string(source.kind) + "-" + source.speakerphone + "-")
                                       .c_str(), 1);
    QFile profile(QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/qvt-vz1-controller.ini");
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // The simulator's microphone array is an ALSA device defined beside its FIFO.
    ::setenv("ALSA_CONFIG_PATH", (std::string("/usr/share/alsa/alsa.conf:") + std::getenv("XDG_RUNTIME_DIR")
                                  + "/qvt-vz1/micarray.asoundrc").c_str(), 1);
    profile.write(QStringLiteral("[QVT-VZ1]\nDevice=%1\n[General]\nMode=0\nTracking=1\n[Up]\nMode=1\nDirection=6\n"
                                 "[MicArray]\nDevice=qvt_vz1_micarray\nGeometry=circular:4:0.032\n"
                                 "[UpDir2]\nPan=60\nTilt=20\nZoom=40\nRoll=100\n"
                                 "[UpDir6]\nPan=120\nTilt=10\nZoom=80\nRoll=80\n")
                      .arg(source.kind)
                      .toUtf8());
    profile.close();

    sim.setProgram(QStringLiteral(QVT_SIM_PATH));
    sim.setArguments({QStringLiteral("--trace"), QStringLiteral("--stay")});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    ASSERT_TRUE(sim.waitForStarted(10000));
    ASSERT_TRUE(Traced(QStringLiteral("attached port="), true));
    Say("stand upside");
    Say((std::string("speakerphone ") + source.speakerphone).c_str());
    Say("status");  // the commands run in order: the speakerphone is there once this answers
    ASSERT_TRUE(Traced(QStringLiteral("camera attached=1"), true));

    controller.setProgram(QStringLiteral(QVT_CONTROLLER_PATH));
    controller.setProcessChannelMode(QProcess::ForwardedChannels);
    controller.start();
    ASSERT_TRUE(controller.waitForStarted(10000));
    // Silence at the start: the centre preset.
    ASSERT_TRUE(Traced(QString::fromLatin1(kPreset6))) << lines.join('\n').toStdString();
    Say("talk 2");
    EXPECT_TRUE(Traced(QString::fromLatin1(kPreset2))) << lines.join('\n').toStdString();
    Say("silence");
    EXPECT_TRUE(Traced(QString::fromLatin1(kPreset6))) << lines.join('\n').toStdString();

    controller.terminate();
    EXPECT_TRUE(controller.waitForFinished(10000));
    EXPECT_EQ(controller.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(controller.exitCode(), 0);
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(10000));
}

INSTANTIATE_TEST_SUITE_P(Sources, TrackingEndToEndTest,
                         ::testing::Values(Source{3, "18tr"}, Source{4, "mzc-40s"}, Source{5, "mzc-90x"},
                                           Source{1, "40s"}, Source{6, "micarray"}),
                         [](const auto& info) { return "Kind" + std::to_string(info.param.kind); });

}  // namespace
