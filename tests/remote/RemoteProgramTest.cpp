// The real programs on a private bus: the virtual camera, the controller, and the verbs, gdbus
// and dbus-send as clients. What a call does is seen in the virtual camera's trace.
#include "tests/remote/PrivateBus.h"
#include "tests/support/RecordingWindow.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

struct Outcome
{
    int code = -1;
    QString out, err;
};

Outcome Execute(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    Outcome r;
    if (!p.waitForFinished(30000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Outcome Verb(const QStringList& args)
{
    return Execute(QStringLiteral(QVT_CONTROLLER_PATH), args);
}

// Methods, properties and signals of the controller's interface in an introspection text,
// as sorted "kind name(direction type ...)" lines.
QStringList Members(const QString& xml)
{
    QStringList members;
    QXmlStreamReader reader(xml);
    bool inside = false;
    QString current;
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.name().toString();
        const auto attr = [&](const char* a) { return reader.attributes().value(QLatin1String(a)).toString(); };
        if (reader.isStartElement() && name == QLatin1String("interface"))
            inside = attr("name") == QLatin1String("org.qvtvz1.Controller1");
        else if (!inside || !reader.isStartElement())
            continue;
        else if (name == QLatin1String("method") || name == QLatin1String("signal"))
            members << name + QLatin1Char(' ') + attr("name");
        else if (name == QLatin1String("property"))
            members << QStringLiteral("property %1 %2 %3").arg(attr("name"), attr("type"), attr("access"));
        else if (name == QLatin1String("arg") && !members.isEmpty())
            members.last() += QLatin1Char(' ') + attr("type");
    }
    members.sort();
    return members;
}

const QStringList kGdbusCall = {"call", "--session", "--dest", "org.qvtvz1.Controller", "--object-path",
                                "/org/qvtvz1/Controller"};
const QStringList kDbusSend = {"--session", "--print-reply", "--dest=org.qvtvz1.Controller", "/org/qvtvz1/Controller"};

class RemoteProgramTest : public ::testing::Test
{
protected:
    void Say(const char* line)
    {
        sim.write(QByteArray(line) + '\n');
        sim.waitForBytesWritten(1000);
    }
    bool Traced(const QString& text)
    {
        return WaitUntil([&] {
            while (sim.canReadLine())
                lines << QString::fromUtf8(sim.readLine()).trimmed();
            while (next < lines.size())
                if (lines[next++].startsWith(text))
                    return true;
            return false;
        });
    }
    bool StatusShows(const QString& line, int timeoutMs = 20000)
    {
        return WaitUntil([&] { return Verb({QStringLiteral("--status")}).out.split('\n').contains(line); }, timeoutMs);
    }

    PrivateBus bus;
    QProcess sim, controller;
    QStringList lines;
    qsizetype next = 0;
};

TEST_F(RemoteProgramTest, VerbsAndBusToolsWorkTheRunningController)
{
    ASSERT_FALSE(bus.Address().isEmpty());
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().toUtf8().constData(), 1);
    ::setenv("QVT_VZ1_SHM_PREFIX", ("qvt-remote-e2e-" + std::to_string(::getpid()) + "-").c_str(), 1);

    // No controller yet; usage and help need none.
    EXPECT_EQ(Verb({"--status"}).code, 3);
    EXPECT_EQ(Verb({"--tracking", "maybe"}).code, 2);
    const Outcome help = Verb({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QLatin1String("--watch")));

    QFile profile(QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/qvt-vz1-controller.ini");
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    profile.write("[QVT-VZ1]\nDevice=4\n[General]\nMode=0\nTracking=1\n[Up]\nMode=1\nDirection=0\n"
                  "[UpDir3]\nPan=33\nTilt=3\nZoom=30\nRoll=93\n");
    profile.close();
    sim.setProgram(QStringLiteral(QVT_SIM_PATH));
    sim.setArguments({"--trace", "--stay"});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    ASSERT_TRUE(sim.waitForStarted(10000));
    ASSERT_TRUE(Traced("attached port="));
    Say("stand upside");
    Say("speakerphone mzc-40s");
    Say("status");
    ASSERT_TRUE(Traced("camera attached=1"));
    controller.setProgram(QStringLiteral(QVT_CONTROLLER_PATH));
    controller.setProcessChannelMode(QProcess::ForwardedChannels);
    controller.start();
    ASSERT_TRUE(controller.waitForStarted(10000));
    ASSERT_TRUE(StatusShows("CameraMode=upside"));
    EXPECT_TRUE(StatusShows("FirmwareVersion=2.03"));

    // As a talker: the camera goes to direction 3's preset and the status tells it.
    EXPECT_EQ(Verb({"--go", "3"}).code, 0);
    EXPECT_TRUE(Traced("set-position kind=1 pan=33 tilt=3 zoom=30 roll=93")) << lines.join('\n').toStdString();
    EXPECT_TRUE(StatusShows("TalkerDirection=3", 1000));

    QProcess watch;
    watch.start(QStringLiteral(QVT_CONTROLLER_PATH), {"--watch"});
    ASSERT_TRUE(watch.waitForStarted(10000));
    QString watched;
    int calls = 0;
    // gdbus: tracking off; the watcher sees it. (Off and on again until the watcher listens.)
    EXPECT_TRUE(WaitUntil([&] {
        Execute("gdbus", kGdbusCall + QStringList{"--method", "org.qvtvz1.Controller1.SetTracking",
                                                  calls++ % 2 ? "true" : "false"});
        watched += QString::fromUtf8(watch.readAllStandardOutput());
        return watched.contains(QLatin1String("Tracking=false\n"));
    })) << watched.toStdString();
    EXPECT_EQ(Verb({"--tracking", "off"}).code, 0);
    EXPECT_TRUE(StatusShows("Tracking=false", 1000));

    // dbus-send: a held press and its release.
    const Outcome drive =
        Execute("dbus-send", kDbusSend + QStringList{"org.qvtvz1.Controller1.Drive", "string:up", "uint32:200"});
    EXPECT_EQ(drive.code, 0) << drive.err.toStdString();
    EXPECT_TRUE(Traced("drive bits=8"));
    EXPECT_TRUE(Traced("drive bits=0"));

    // Refusals: exit status 1 and the reason with its name.
    const Outcome refused = Verb({"--direction", "9"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QLatin1String("(InvalidArgument)"))) << refused.err.toStdString();
    // The offscreen desktop has no tray: hiding would end the program, so it is refused.
    EXPECT_EQ(Verb({"--hide"}).code, 1);
    EXPECT_EQ(Verb({"--show"}).code, 0);
    const Outcome sent = Execute("dbus-send", kDbusSend + QStringList{"org.qvtvz1.Controller1.ViewButton", "uint32:0"});
    EXPECT_NE(sent.code, 0);
    EXPECT_TRUE(sent.err.contains(QLatin1String("org.qvtvz1.Controller1.Error.InvalidArgument")));

    // The live interface is the one described in the installed file.
    const Outcome introspect = Execute("gdbus", {"introspect", "--session", "--dest", "org.qvtvz1.Controller",
                                                 "--object-path", "/org/qvtvz1/Controller", "--xml"});
    QFile described(QStringLiteral(QVT_INTERFACE_XML));
    ASSERT_TRUE(described.open(QIODevice::ReadOnly));
    const QStringList members = Members(QString::fromUtf8(described.readAll()));
    EXPECT_EQ(members.size(), 22);
    EXPECT_EQ(Members(introspect.out), members) << introspect.out.toStdString();

    controller.terminate();
    EXPECT_TRUE(controller.waitForFinished(10000));
    EXPECT_EQ(controller.exitCode(), 0);
    EXPECT_TRUE(watch.waitForFinished(10000));
    EXPECT_EQ(watch.exitCode(), 3);
    EXPECT_EQ(Verb({"--show"}).code, 3);
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(10000));
}

} // namespace
