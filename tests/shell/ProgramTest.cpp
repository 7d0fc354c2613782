// The program as a user starts and installs it: real processes on the offscreen platform,
// sharing this test's private runtime and configuration folders.
#include "tests/support/RecordingWindow.h"

#include <QDir>
#include <QRegularExpression>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

const QByteArray kBalloon("tray balloon: ");
const QString kNotConnectedFr = QString::fromUtf8("QVT-VZ1 n\xE2\x80\x99" "est pas connect\xC3\xA9" "e \xC3\xA0 ce PC.");

QString BuiltProgram()
{
    return QString::fromLocal8Bit(qgetenv("QVT_BINARY_DIR")) + QStringLiteral("/app/qvt-vz1-controller");
}

// A running controller: started with locale, waited for until it shows its first balloon
// (it reports balloons in the qvt.shell debug category); ended with signal.
struct Controller
{
    explicit Controller(const QString& program, const char* locale = "C")
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QLatin1String(locale));
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qvt.shell.debug=true"));
        process.setProcessEnvironment(env);
        process.start(program, {});
        WaitUntil([&] {
            err += process.readAllStandardError();
            return FirstBalloon().has_value() || process.state() == QProcess::NotRunning;
        }, 30000);
    }
    ~Controller() { End(SIGKILL); }
    std::optional<QString> FirstBalloon() const
    {
        const qsizetype at = err.indexOf(kBalloon), end = err.indexOf('\n', at);
        if (at < 0 || end < 0)
            return std::nullopt;
        return QString::fromUtf8(err.mid(at + kBalloon.size(), end - at - kBalloon.size()));
    }
    bool End(int signal)
    {
        if (process.state() == QProcess::NotRunning)
            return true;
        ::kill(static_cast<pid_t>(process.processId()), signal);
        return WaitUntil([&] { return process.state() == QProcess::NotRunning; }, 30000);
    }

    QProcess process;
    QByteArray err;
};

TEST(Program, SecondStartEndsAtOnceSigtermEndsInOrderThenANewStartSucceeds)
{
    const QString profile = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/qvt-vz1-controller.ini");
    QFile::remove(profile);
    Controller first(BuiltProgram());
    ASSERT_TRUE(first.FirstBalloon()) << first.err.toStdString();

    Controller second(BuiltProgram());
    EXPECT_EQ(second.process.state(), QProcess::NotRunning);
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_FALSE(second.FirstBalloon()) << "no icon, no window";
    EXPECT_EQ(first.process.state(), QProcess::Running) << "the first is untouched";

    ASSERT_TRUE(first.End(SIGTERM));
    EXPECT_EQ(first.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.process.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(profile)) << "the controller saved its values on the way out";

    Controller third(BuiltProgram());
    EXPECT_TRUE(third.FirstBalloon()) << "the guard was released";
    ASSERT_TRUE(third.End(SIGINT));
    EXPECT_EQ(third.process.exitCode(), 0);
}

TEST(Program, FindsTheCataloguesNextToItAndFallsBackToEnglish)
{
    Controller german(BuiltProgram(), "de_AT.UTF-8");
    EXPECT_EQ(german.FirstBalloon(), QString::fromUtf8("QVT-VZ1 ist nicht mit diesem PC verbunden."));
    german.End(SIGTERM);
    Controller other(BuiltProgram(), "pt_BR.UTF-8");
    EXPECT_EQ(other.FirstBalloon(), QStringLiteral("QVT-VZ1 is not connected to this PC."));
}

TEST(Program, InstallPutsEverythingInPlaceAndTheInstalledProgramFindsItsCatalogues)
{
    QTemporaryDir dest;
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), dest.path());
    install.setProcessEnvironment(env);
    install.start(QString::fromLocal8Bit(qgetenv("QVT_CMAKE")),
                  {QStringLiteral("--install"), QString::fromLocal8Bit(qgetenv("QVT_BINARY_DIR")),
                   QStringLiteral("--component"), QStringLiteral("shell")});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    QStringList found;  // every installed file
    for (QDirIterator it(dest.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        found << it.next();
    auto find = [&](const QString& suffix) {
        const QStringList hits = found.filter(QRegularExpression(QRegularExpression::escape(suffix) + QLatin1Char('$')));
        return hits.isEmpty() ? QString() : hits.front();
    };
    const QString program = find(QStringLiteral("/bin/qvt-vz1-controller"));
    ASSERT_FALSE(program.isEmpty());
    for (const char* name : {"RESDE.ini", "RESFR.ini", "RESJP.ini", "RESCN.ini"})
        EXPECT_FALSE(find(QStringLiteral("/share/qvt-vz1-controller/") + QLatin1String(name)).isEmpty()) << name;
    EXPECT_FALSE(find(QStringLiteral("/icons/hicolor/48x48/apps/qvt-vz1-controller.png")).isEmpty());
    for (const QString& entry : {find(QStringLiteral("/share/applications/qvt-vz1-controller.desktop")),
                                 find(QStringLiteral("/xdg/autostart/qvt-vz1-controller.desktop"))}) {
        QFile f(entry);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "desktop entry missing";
        const QByteArray text = f.readAll();
        EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
        EXPECT_TRUE(text.contains("\nExec=qvt-vz1-controller\n") && text.contains("\nIcon=qvt-vz1-controller\n"));
    }
    QFile rule(find(QStringLiteral("/udev/rules.d/70-qvt-vz1.rules")));
    ASSERT_TRUE(rule.open(QIODevice::ReadOnly));
    EXPECT_TRUE(rule.readAll().contains("ATTR{idVendor}==\"f1a9\", ATTR{idProduct}==\"c20e\", TAG+=\"uaccess\""));

    Controller installed(program, "fr_CA.UTF-8");
    EXPECT_EQ(installed.FirstBalloon(), kNotConnectedFr);
}

// The program against the virtual camera as a standard VISCA camera on the network: it is
// found, tracking follows the talker with pan-tilt and zoom (no roll), and it goes away.
TEST(Program, FollowsTheTalkerWithANetworkCamera)
{
    const QString root = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    qputenv("QVT_VZ1_40S_DEVICE", (root + QStringLiteral("/40s")).toLocal8Bit());  // private to this test
    QProcess sim;
    sim.start(QString::fromLocal8Bit(qgetenv("QVT_BINARY_DIR")) + QStringLiteral("/sim/qvt-vz1-sim"),
              {"--model", "generic", "--listen-visca-ip", "0", "--no-pty", "--trace", "--stay"});
    QString trace;
    const auto traced = [&](const QString& what) {
        return WaitUntil([&] {
            trace += QString::fromUtf8(sim.readAllStandardOutput());
            return trace.contains(what);
        }, 30000);
    };
    ASSERT_TRUE(traced(QStringLiteral("listening visca-ip port=")));
    const QString port = QRegularExpression(QStringLiteral("port=(\\d+)")).match(trace).captured(1);
    sim.write("speakerphone 40s\n");
    QFile profile(root + QStringLiteral("/qvt-vz1-controller.ini"));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    profile.write("[QVT-VZ1]\nDevice=1\nModified=1\n[General]\nMode=0\nTracking=1\n[Up]\nMode=1\nDirection=0\n"
                  "[UpDir2]\nPan=260\nTilt=20\nZoom=120\nRoll=80\n[Camera]\nConnection=2\nHost=127.0.0.1\nPort="
                  + port.toLatin1() + "\n");
    profile.close();

    Controller controller(BuiltProgram());
    // The balloon names the camera in use.
    EXPECT_EQ(controller.FirstBalloon(), QStringLiteral("Camera visca-ip 127.0.0.1:%1 is available.").arg(port))
        << controller.err.toStdString();
    sim.write("talk 2\n");
    EXPECT_TRUE(traced(QStringLiteral("pan-tilt-absolute pan=260 tilt=20\nzoom-direct zoom=120\n")));
    EXPECT_FALSE(trace.contains(QStringLiteral("set-position")) || trace.contains(QStringLiteral("roll")));
    sim.write("detach\n");
    EXPECT_TRUE(WaitUntil([&] {
        controller.err += controller.process.readAllStandardError();
        return controller.err.contains(QStringLiteral("Camera visca-ip 127.0.0.1:%1 is not connected.").arg(port).toUtf8());
    }, 30000));
    EXPECT_TRUE(controller.End(SIGTERM));
    sim.kill();
    sim.waitForFinished(10000);
    qunsetenv("QVT_VZ1_40S_DEVICE");
}

} // namespace

TEST(Program, TheDemoPlaysItsMeetingToTheEndAndPrintsOnlyItsOwnLines)
{
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("QVT_DEMO_BIN"), QString::fromLocal8Bit(qgetenv("QVT_BINARY_DIR")));
    env.insert(QStringLiteral("QVT_DEMO_PACE_MS"), QStringLiteral("500"));
    demo.setProcessEnvironment(env);
    demo.start(QString::fromLocal8Bit(qgetenv("QVT_SOURCE_DIR")) + QStringLiteral("/scripts/demo"), {});
    ASSERT_TRUE(WaitUntil([&] { return demo.state() == QProcess::NotRunning; }, 150000));
    const QString out = QString::fromUtf8(demo.readAllStandardOutput());
    const QString err = QString::fromUtf8(demo.readAllStandardError());
    EXPECT_EQ(demo.exitCode(), 0) << out.toStdString() << err.toStdString();
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    for (const char* line : {"] talker at 2 -> camera to pan 130, tilt 74, zoom 43\n",
                             "] stand turned to Front -> camera to pan 117, tilt 13, zoom 58\n",
                             "] camera plugged in again -> camera to pan 94, tilt 41, zoom 114\n",
                             "] talker at 4 -> camera to pan 51, tilt 68, zoom 56\n", "] demo finished\n"})
        EXPECT_TRUE(out.contains(QLatin1String(line))) << line << "\n" << out.toStdString();
    // Every line is the demo's own, stamped with its time: no noise of the platform.
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith(u'[')) << line.toStdString();
}
