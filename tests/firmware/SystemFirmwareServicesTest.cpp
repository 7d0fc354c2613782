#include "firmware/LocalFirmwareFile.h"
#include "firmware/SystemFirmwareUpdateServices.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace {

QString WriteFile(const QString& name, const QByteArray& bytes)
{
    const QString path = TestRootDir() + "/" + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

QByteArray Content(const CByteStream& s)
{
    return QByteArray(reinterpret_cast<const char*>(s.GetData()), s.GetLength());
}

QByteArray Bytes(int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = static_cast<char>(i * 13 + 1);
    return b;
}

TEST(LocalFirmwareFile, ReadsWholeFilesAndRefusesWhatItCannotRead)
{
    const QByteArray bytes = Bytes(5000);
    const QString path = WriteFile("fw.BIN", bytes);
    ASSERT_FALSE(path.isEmpty());
    CByteStream s;
    ASSERT_TRUE(s.Create());
    EXPECT_TRUE(ReadFirmwareFile(path, s));
    EXPECT_EQ(Content(s), bytes);

    CByteStream small;
    ASSERT_TRUE(small.Create());
    EXPECT_FALSE(ReadFirmwareFile(path, small, 4999)) << "larger than the bound";
    EXPECT_TRUE(ReadFirmwareFile(path, small, 5000));

    CByteStream other;
    ASSERT_TRUE(other.Create());
    EXPECT_FALSE(ReadFirmwareFile(TestRootDir() + "/missing.BIN", other));
    EXPECT_FALSE(ReadFirmwareFile(TestRootDir(), other)) << "a folder opens but cannot be read";
    EXPECT_EQ(other.GetLength(), 0);
}

TEST(SystemFirmwareServices, LocalFileThroughTheFileDialog)
{
    ScriptedPrompter prompter;
    const QByteArray bytes = Bytes(3000);
    const QString path = WriteFile("QVTVZ1.BIN", bytes);
    prompter.files = {path, std::nullopt};
    std::atomic<int> cancel{0};
    const QString before = QDir::currentPath();

    CByteStream s;
    ASSERT_TRUE(s.Create());
    EXPECT_TRUE(SystemFirmwareServices().LoadLocalFile(s, cancel));
    EXPECT_EQ(Content(s), bytes);
    ASSERT_EQ(prompter.requests.size(), 1u);
    EXPECT_TRUE(prompter.requests[0].open);
    EXPECT_TRUE(prompter.requests[0].filter.contains("*.BIN"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (QDir(documents).exists()) {
        EXPECT_EQ(QDir::currentPath(), QDir(documents).canonicalPath());
    }

    CByteStream none;
    ASSERT_TRUE(none.Create());
    EXPECT_FALSE(SystemFirmwareServices().LoadLocalFile(none, cancel)) << "dialog cancelled";
    EXPECT_EQ(none.GetLength(), 0);
    QDir::setCurrent(before);
}

TEST(SystemFirmwareServices, DrainingTheChannelNeverBlocks)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::write(fds[1], "restart", 7), 7);
    SystemFirmwareServices().DrainChannel(fds[0]);
    char c;
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    EXPECT_EQ(::read(fds[0], &c, 1), -1) << "what was there has been read";
    ::fcntl(fds[0], F_SETFL, 0);
    SystemFirmwareServices().DrainChannel(fds[0]);  // empty and blocking: must return at once
    SystemFirmwareServices().DrainChannel(-1);
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
