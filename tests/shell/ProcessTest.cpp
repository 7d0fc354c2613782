// The program as a user starts it: one instance per session, and an orderly end on SIGTERM.
// Real processes on the offscreen platform, sharing this test's private runtime folder.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "tests/support/RecordingWindow.h"

#include <csignal>
#include <memory>

namespace {

QString ProgramPath()
{
    return QString::fromLocal8Bit(qgetenv("QVT_BINARY_DIR")) + QStringLiteral("/app/qvt-vz1-controller");
}

QString ProfilePath()
{
    return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/qvt-vz1-controller.ini");
}

// Starts the program and waits until it runs its message loop: without a tray (offscreen)
// it says once on standard error that it shows its window instead.
std::unique_ptr<QProcess> StartRunning()
{
    auto p = std::make_unique<QProcess>();
    p->setProgram(ProgramPath());
    p->start();
    if (!p->waitForStarted(10000))
        return nullptr;
    QByteArray err;
    const bool ready = WaitUntil(
        [&] {
            err += p->readAllStandardError();
            return err.contains("system tray") || p->state() == QProcess::NotRunning;
        },
        30000);
    if (!ready || p->state() == QProcess::NotRunning)
        return nullptr;
    return p;
}

bool EndsWithin(QProcess& p, int ms)
{
    return WaitUntil([&] { return p.state() == QProcess::NotRunning; }, ms);
}

TEST(ControllerProcess, SecondStartEndsAtOnceAndANewStartSucceedsAfterTheFirstEnded)
{
    ASSERT_TRUE(QFile::exists(ProgramPath())) << ProgramPath().toStdString();
    QFile::remove(ProfilePath());
    auto first = StartRunning();
    ASSERT_TRUE(first);

    QProcess second;
    second.start(ProgramPath(), {});
    ASSERT_TRUE(second.waitForStarted(10000));
    ASSERT_TRUE(EndsWithin(second, 30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(second.readAllStandardError().contains("system tray")) << "the second made no window";
    EXPECT_EQ(first->state(), QProcess::Running) << "the first is untouched";

    ::kill(static_cast<pid_t>(first->processId()), SIGTERM);
    ASSERT_TRUE(EndsWithin(*first, 30000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_TRUE(QFile::exists(ProfilePath())) << "the controller saved its values on the way out";

    auto third = StartRunning();
    ASSERT_TRUE(third) << "the guard was released";
    ::kill(static_cast<pid_t>(third->processId()), SIGINT);
    ASSERT_TRUE(EndsWithin(*third, 30000));
    EXPECT_EQ(third->exitCode(), 0);
}

} // namespace
