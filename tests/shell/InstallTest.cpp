// The install: `cmake --install` into a private DESTDIR puts the program, its catalogues, the
// icon and the desktop files in place, and the installed program finds its catalogues.
#include "tests/support/RecordingWindow.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Every installed file, as paths relative to the DESTDIR.
QStringList InstalledFiles(const QString& destDir)
{
    QStringList files;
    QDirIterator it(destDir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(destDir).relativeFilePath(it.next());
    return files;
}

QString Find(const QStringList& files, const QString& suffix)
{
    for (const QString& f : files) {
        if (f.endsWith(suffix))
            return f;
    }
    return {};
}

QString Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Runs program with locale and waits for its first balloon text; then ends it with SIGTERM.
QString FirstBalloon(const QString& program, const char* locale)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QLatin1String(locale));
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LC_MESSAGES"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qvt.shell.debug=true"));
    p.setProcessEnvironment(env);
    p.start(program, {});
    if (!p.waitForStarted(10000))
        return QStringLiteral("<not started>");
    QByteArray err;
    const QByteArray marker("tray balloon: ");
    WaitUntil([&] {
        err += p.readAllStandardError();
        const qsizetype at = err.indexOf(marker);
        return (at >= 0 && err.indexOf('\n', at) > at) || p.state() == QProcess::NotRunning;
    }, 30000);
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    p.waitForFinished(30000);
    const qsizetype at = err.indexOf(marker);
    if (at < 0)
        return QString::fromUtf8(err);
    const qsizetype end = err.indexOf('\n', at);
    return QString::fromUtf8(err.mid(at + marker.size(), end - at - marker.size()));
}

TEST(Install, PutsProgramCataloguesIconAndDesktopFilesInPlace)
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

    const QStringList files = InstalledFiles(dest.path());
    const QString program = Find(files, QStringLiteral("/bin/qvt-vz1-controller"));
    ASSERT_FALSE(program.isEmpty()) << files.join(u' ').toStdString();
    for (const char* name : {"RESDE.ini", "RESFR.ini", "RESJP.ini", "RESCN.ini"})
        EXPECT_FALSE(Find(files, QStringLiteral("/share/qvt-vz1-controller/") + QLatin1String(name)).isEmpty()) << name;
    EXPECT_FALSE(Find(files, QStringLiteral("/icons/hicolor/48x48/apps/qvt-vz1-controller.png")).isEmpty());
    EXPECT_FALSE(Find(files, QStringLiteral("/icons/hicolor/scalable/apps/qvt-vz1-controller.svg")).isEmpty());

    const QString menuEntry = Find(files, QStringLiteral("/share/applications/qvt-vz1-controller.desktop"));
    const QString autostart = Find(files, QStringLiteral("/xdg/autostart/qvt-vz1-controller.desktop"));
    const QString rule = Find(files, QStringLiteral("/udev/rules.d/70-qvt-vz1.rules"));
    ASSERT_FALSE(menuEntry.isEmpty());
    ASSERT_FALSE(autostart.isEmpty());
    ASSERT_FALSE(rule.isEmpty());
    for (const QString& entry : {menuEntry, autostart}) {
        const QString text = Read(dest.path() + u'/' + entry);
        EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n"))) << entry.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("\nExec=qvt-vz1-controller\n")));
        EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=qvt-vz1-controller\n")));
        EXPECT_TRUE(text.contains(QStringLiteral("\nType=Application\n")));
    }
    const QString rules = Read(dest.path() + u'/' + rule);
    EXPECT_TRUE(rules.contains(QStringLiteral("ATTR{idVendor}==\"f1a9\", ATTR{idProduct}==\"c20e\", TAG+=\"uaccess\"")));
    EXPECT_TRUE(rules.contains(QStringLiteral("SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"f1a9\"")));

    // The installed program finds its catalogues in the install's data folder.
    EXPECT_EQ(FirstBalloon(dest.path() + u'/' + program, "fr_CA.UTF-8"),
              QString::fromUtf8("QVT-VZ1 n\xE2\x80\x99" "est pas connect\xC3\xA9" "e \xC3\xA0 ce PC."));
}

TEST(Install, TheBuiltProgramFindsTheCataloguesNextToItAndFallsBackToEnglish)
{
    const QString program = QString::fromLocal8Bit(qgetenv("QVT_BINARY_DIR")) + QStringLiteral("/app/qvt-vz1-controller");
    EXPECT_EQ(FirstBalloon(program, "de_AT.UTF-8"), QString::fromUtf8("QVT-VZ1 ist nicht mit diesem PC verbunden."));
    EXPECT_EQ(FirstBalloon(program, "pt_BR.UTF-8"), QStringLiteral("QVT-VZ1 is not connected to this PC."));
}

} // namespace
