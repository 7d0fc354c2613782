// The real programs on a real broker: the virtual camera, the controller with its Fleet
// section, and mosquitto_sub / mosquitto_rr as the fleet's other clients. What a command does
// is seen in the virtual camera's trace and in the room's state.
#include "tests/firmware/FirmwareFile.h"
#include "tests/firmware/LocalHttpServer.h"
#include "tests/fleet/TestBroker.h"
#include "tests/support/RecordingWindow.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <cstdlib>
#include <string>

namespace {

const QString kRoom = QStringLiteral("r1");

class FleetProgramTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_broker = new TestBroker({"room", "room-pw"}); }
    static void TearDownTestSuite()
    {
        delete s_broker;
        s_broker = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_broker->Ok());
        // No session bus for the controller: the fleet is its only remote.
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent", 1);
        ::setenv("QVT_VZ1_SHM_PREFIX", ("qvt-fleet-test-" + std::to_string(::getpid()) + "-").c_str(), 1);
        ::setenv("QT_LOGGING_RULES", "qvt.shell.debug=true;qvt.fleet.info=true", 1);
    }
    void TearDown() override
    {
        if (HasFailure())
            std::cerr << (log + QString::fromUtf8(controller.readAllStandardError())).toStdString();
        for (QProcess* p : {&controller, &sim}) {
            p->terminate();
            p->waitForFinished(10000);
        }
    }

    QString Profile() const { return QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/qvt-vz1-controller.ini"; }
    void WriteProfile(const QString& fleet, const char* rest = "")
    {
        const QString pw = QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/fleet-password";
        QFile p(pw);
        ASSERT_TRUE(p.open(QIODevice::WriteOnly | QIODevice::Truncate));
        p.write("room-pw\n");
        p.close();
        p.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        QFile f(Profile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(rest);
        f.write(QStringLiteral("\n[Fleet]\nBroker=%1\nRoom=%2\nUser=room\nPasswordFile=%3\nCaFile=%4\n%5\n")
                    .arg(s_broker->Url(), kRoom, pw, s_broker->File("ca.crt"), fleet)
                    .toUtf8());
    }
    void StartSim()
    {
        sim.setProgram(QStringLiteral(QVT_SIM_PATH));
        sim.setArguments({"--trace", "--stay", "--restart-ms", "300"});
        sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim.start();
        ASSERT_TRUE(sim.waitForStarted(10000));
        ASSERT_TRUE(Traced("attached port="));
        Say("stand upside");
        Say("speakerphone mzc-40s");
    }
    void StartController()
    {
        controller.setProgram(QStringLiteral(QVT_CONTROLLER_PATH));
        controller.setProcessChannelMode(QProcess::SeparateChannels);
        controller.start();
        ASSERT_TRUE(controller.waitForStarted(10000));
    }
    bool Balloon(const char* text)
    {
        return WaitUntil([&] {
            log += QString::fromUtf8(controller.readAllStandardError());
            return log.contains(QLatin1String("tray balloon: ")) && log.contains(QLatin1String(text));
        }, 20000);
    }
    void Say(const char* line)
    {
        sim.write(QByteArray(line) + '\n');
        sim.waitForBytesWritten(1000);
    }
    // Lines of the camera's trace since the last call that start with text.
    int Traces(const QString& text)
    {
        int n = 0;
        while (sim.canReadLine())
            n += QString::fromUtf8(sim.readLine()).trimmed().startsWith(text);
        return n;
    }
    bool Traced(const QString& text)
    {
        int seen = 0;
        return WaitUntil([&] { return (seen += Traces(text)) > 0; });
    }

    // The first message on topic (a retained one at once) whose payload contains what.
    QString Next(const QString& topic, const QString& what = {})
    {
        QString got;
        WaitUntil([&] {
            QProcess sub;
            sub.start("mosquitto_sub", s_broker->ClientArgs() + QStringList{"-t", topic, "-C", "1", "-W", "3"});
            sub.waitForFinished(10000);
            got = QString::fromUtf8(sub.readAllStandardOutput()).trimmed();
            return !got.isEmpty() && got.contains(what);
        }, 30000);
        return got;
    }
    // A command with response topic and correlation data; the reply's error name, "ok", or
    // "" without a reply.
    QString Request(const QByteArray& payload, const QString& correlation = {}, const QString& room = kRoom)
    {
        // A redelivery comes with the same response topic and correlation data.
        const QString response = correlation.isEmpty() ? "reply/" + QString::number(++m_nRequests) : "reply/" + correlation;
        QStringList args =
            s_broker->ClientArgs() + QStringList{"-t", "qvt-vz1/" + room + "/command", "-e", response, "-W", "30"};
        if (!correlation.isEmpty())
            args << "-D" << "publish" << "correlation-data" << correlation;
        QProcess rr;
        rr.start("mosquitto_rr", args + QStringList{"-q", "1", "-m", QString::fromUtf8(payload)});
        rr.waitForFinished(40000);
        const QJsonObject reply = QJsonDocument::fromJson(rr.readAllStandardOutput()).object();
        if (reply.isEmpty())
            return {};
        return reply.value("ok").toBool() ? QStringLiteral("ok") : reply.value("error").toString();
    }

    static inline TestBroker* s_broker = nullptr;
    QProcess sim, controller;
    QString log;
    int m_nRequests = 0;
};

TEST_F(FleetProgramTest, RoomPublishesStateAndAnswersCommandsLikeTheBus)
{
    StartSim();
    WriteProfile("HomeAssistant=1", "[QVT-VZ1]\nDevice=4\n[General]\nMode=0\nTracking=1\n[Up]\nMode=1\nDirection=0\n"
                                    "[UpDir3]\nPan=33\nTilt=3\nZoom=30\nRoll=93\n");
    StartController();
    ASSERT_EQ(Next("qvt-vz1/r1/status"), QStringLiteral("online"));
    const QString state = Next("qvt-vz1/r1/state", "\"firmware\":\"2.03\"");
    EXPECT_TRUE(state.contains(QLatin1String("\"camera\":true"))) << state.toStdString();
    EXPECT_TRUE(state.contains(QLatin1String("\"tracking\":true"))) << state.toStdString();
    EXPECT_FALSE(Next("homeassistant/switch/qvt-vz1_r1/tracking/config").isEmpty());

    // As a talker: the camera moves, the talker topic and the state tell it.
    QProcess talker;
    talker.start("mosquitto_sub", s_broker->ClientArgs() + QStringList{"-t", "qvt-vz1/r1/talker", "-C", "1", "-W", "20"});
    ASSERT_TRUE(talker.waitForStarted(10000));
    QString go;
    EXPECT_TRUE(WaitUntil([&] {  // until the talker subscription is in place
        go = Request(R"({"verb":"go","arg":"3"})");
        return talker.waitForFinished(500);
    }, 20000)) << go.toStdString();
    EXPECT_EQ(go, QStringLiteral("ok"));
    EXPECT_EQ(QString::fromUtf8(talker.readAllStandardOutput()).trimmed(), QStringLiteral("{\"direction\":3}"));
    EXPECT_TRUE(Traced("set-position kind=1 pan=33 tilt=3 zoom=30 roll=93"));

    // Refusals by the same names as on the bus, and the fleet's own.
    const struct
    {
        QByteArray payload;
        const char* reply;
    } refusals[] = {
        {R"({"verb":"direction","arg":"9"})", "InvalidArgument"},
        {R"({"verb":"tracking","arg":"maybe"})", "InvalidArgument"},
        {R"({"verb":"import","arg":"[QVT-VZ1]\nDevice=4\n"})", "NotInThisMode"},
        {R"({"verb":"fly"})", "UnknownVerb"},
        {R"({"verb":"firmware","arg":"ftp://fw.example/QVTVZ1.BIN"})", "InvalidArgument"},
        {"{\"verb\":", "Malformed"},
        {R"({"verb":"stop","time":1000})", "Stale"},
        {QByteArray(R"({"verb":"import","arg":")") + QByteArray(70000, 'x') + "\"}", "TooLarge"},
        {R"({"verb":"tracking","arg":"off"})", "ok"},
        {R"({"verb":"go","arg":"3"})", "NotInThisMode"},
        {R"({"verb":"import","arg":"[QVT-VZ1]\nDevice=99\n"})", "InvalidFile"},
    };
    for (const auto& r : refusals)
        EXPECT_EQ(Request(r.payload), QLatin1String(r.reply)) << r.payload.left(60).toStdString();
    EXPECT_TRUE(Next("qvt-vz1/r1/state").contains(QLatin1String("\"error\":\""))) << "the last refusal is in the state";

    // A redelivered command (same correlation) is answered again but done once.
    Traces({});
    EXPECT_EQ(Request(R"({"verb":"drive","arg":"up","ms":50})", "same"), QStringLiteral("ok"));
    EXPECT_TRUE(Traced("drive bits=0"));
    EXPECT_EQ(Request(R"({"verb":"drive","arg":"up","ms":50})", "same"), QStringLiteral("ok"));
    EXPECT_EQ(Request(R"({"verb":"drive","arg":"down","ms":50})", "other"), QStringLiteral("ok"));
    int ups = 0, downs = 0;  // the trace until the drive down, which comes after the redelivery
    EXPECT_TRUE(WaitUntil([&] {
        while (sim.canReadLine()) {
            const QString line = QString::fromUtf8(sim.readLine());
            ups += line.startsWith(QLatin1String("drive bits=8"));
            downs += line.startsWith(QLatin1String("drive bits=4"));
        }
        return downs > 0;
    }));
    EXPECT_EQ(ups, 0) << "the redelivered drive up was done again";

    // Fleet-wide: a command for every room, and the fleet's setting file applied once.
    EXPECT_EQ(Request(R"({"verb":"page","arg":"manual"})", {}, "all"), QStringLiteral("ok"));
    EXPECT_FALSE(Next("qvt-vz1/r1/state", "\"page\":\"manual\"").isEmpty());
    QProcess pub;
    pub.start("mosquitto_pub", s_broker->ClientArgs() + QStringList{"-t", "qvt-vz1/all/settings", "-r", "-m",
                                                                     R"({"version":"v1","file":"[QVT-VZ1]\nDevice=99\n"})"});
    EXPECT_TRUE(pub.waitForFinished(10000));
    EXPECT_FALSE(Next("qvt-vz1/r1/state", "\"settings\":{\"error\":\"InvalidFile\",\"ok\":false,\"version\":\"v1\"}").isEmpty());

    // Firmware from a web address: the room downloads it and updates its camera.
    LocalHttpServer web;
    const auto image = MakeFirmwareFile(MakeCameraImage("2.10", 20000), "2.10");
    web.Answer("/QVTVZ1.BIN", {200, std::string(image.begin(), image.end())});
    const QByteArray update = QStringLiteral(R"({"verb":"firmware","arg":"%1"})")
                                  .arg(QString::fromStdString(web.Url("/QVTVZ1.BIN"))).toUtf8();
    EXPECT_EQ(Request(update), QStringLiteral("ok"));
    EXPECT_FALSE(Next("qvt-vz1/r1/state", "\"firmware\":\"2.10\"").isEmpty());

    // A broker restart is survived: the room is back with its state.
    s_broker->Stop();
    ASSERT_TRUE(s_broker->Start());
    EXPECT_EQ(Next("qvt-vz1/r1/status"), QStringLiteral("online"));
    EXPECT_EQ(Request(R"({"verb":"stop"})"), QStringLiteral("ok"));
    EXPECT_FALSE(Next("qvt-vz1/r1/state", "\"camera\":true").isEmpty());
    // The version dealt with is kept, so a reconnect does not apply it again.
    QFile profile(Profile());
    ASSERT_TRUE(profile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(profile.readAll().contains("SettingsApplied=v1"));

    // Killed without a goodbye: the broker tells the will.
    ::kill(static_cast<pid_t>(controller.processId()), SIGKILL);
    EXPECT_EQ(Next("qvt-vz1/r1/status", "offline"), QStringLiteral("offline"));
    QProcess clear;
    clear.start("mosquitto_pub", s_broker->ClientArgs() + QStringList{"-t", "qvt-vz1/all/settings", "-r", "-n"});
    clear.waitForFinished(10000);
}

TEST_F(FleetProgramTest, WrongPasswordAndUntrustedCertificateAreRefusedWithABalloon)
{
    const struct
    {
        QString fleet;
        const char* balloon;
    } cases[] = {
        {"User=intruder", "refused the user name or password"},
        {"CaFile=" + s_broker->File("other-ca.crt"), "certificate is not trusted"},
    };
    for (const auto& c : cases) {
        WriteProfile({});
        // The later key of the section replaces the earlier one only when written first.
        QFile f(Profile());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(f.readAll());
        f.close();
        const QString key = c.fleet.section('=', 0, 0);
        text.replace(QRegularExpression("\\n" + key + "=[^\\n]*"), "\n" + c.fleet);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
        f.close();
        log.clear();
        StartController();
        EXPECT_TRUE(Balloon(c.balloon)) << log.toStdString();
        controller.terminate();
        controller.waitForFinished(10000);
    }
}

} // namespace
