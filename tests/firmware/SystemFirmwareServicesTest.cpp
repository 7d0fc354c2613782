#include "firmware/LocalFirmwareFile.h"
#include "firmware/SystemFirmwareUpdateServices.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

TEST(SystemFirmwareServices, LocalFileThroughTheFileDialog)
{
    QByteArray bytes(5000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 13 + 1);
    const QString path = TestRootDir() + "/QVTVZ1.BIN";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();

    ScriptedPrompter prompter;
    prompter.files = {path, std::nullopt};
    std::atomic<int> cancel{0};
    const QString before = QDir::currentPath();
    CByteStream s, other;
    ASSERT_TRUE(s.Create() && other.Create());
    EXPECT_EQ(SystemFirmwareServices().LoadLocalFile(s, cancel), LocalFileResult::Ok);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(s.GetData()), s.GetLength()), bytes);
    EXPECT_TRUE(prompter.requests.at(0).filter.contains("*.BIN"));
    EXPECT_EQ(SystemFirmwareServices().LoadLocalFile(s, cancel), LocalFileResult::Cancelled);
    QDir::setCurrent(before);

    // Files that cannot be taken whole are refused, not passed on in part.
    EXPECT_FALSE(ReadFirmwareFile(path, other, 4999)) << "larger than the bound";
    EXPECT_FALSE(ReadFirmwareFile(TestRootDir() + "/missing.BIN", other));
    EXPECT_FALSE(ReadFirmwareFile(TestRootDir(), other)) << "a folder opens but cannot be read";
}

TEST(SystemFirmwareServices, DrainingTheChannelNeverBlocks)
{
    int fds[2];
    char c;
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::write(fds[1], "restart", 7), 7);
    SystemFirmwareServices().DrainChannel(fds[0]);
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    EXPECT_EQ(::read(fds[0], &c, 1), -1) << "what was there has been read";
    ::fcntl(fds[0], F_SETFL, 0);
    SystemFirmwareServices().DrainChannel(fds[0]);  // empty and blocking: returns at once
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
