#include "platform/Profile.h"
#include "platform/ProfileFile.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string NewPath(const std::string& name)
{
    static int counter = 0;
    const std::string folder = TestRootDir().toStdString() + "/profile-" + std::to_string(++counter);
    QDir().mkpath(QString::fromStdString(folder));
    return folder + "/" + name;
}

void WriteRaw(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadRaw(const std::string& path)
{
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

} // namespace

TEST(ProfileInt, ReadsDecimalLikeWindows)
{
    // Beyond 32 bits the value wraps instead of overflowing.
    for (auto [text, value] : {std::pair{"42", 42}, {"  -17", -17}, {"+8", 8}, {"12abc", 12}, {"abc", 0}, {"-", 0},
                               {"0x1F", 0}, {"- 5", 0}, {"-2147483648", -2147483647 - 1}, {"2147483647", 2147483647},
                               {"4294967297", 1}})
        EXPECT_EQ(ParseProfileInt(text), value) << text;
}

TEST(Profile, MissingFileReadsDefaultsAndWriteCreatesFileAndSection)
{
    const auto path = NewPath("app.ini");
    EXPECT_EQ(GetPrivateProfileInt("General", "Mode", 7, path), 7);
    EXPECT_EQ(GetPrivateProfileString("QVT-VZ1", "URL", "http://x", path), "http://x");
    // Deleting from a missing file creates nothing.
    EXPECT_TRUE(WritePrivateProfileString("General", "Mode", nullptr, path));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));

    EXPECT_TRUE(WritePrivateProfileString("General", "Mode", "-3", path));
    EXPECT_TRUE(WritePrivateProfileString("General", "Tracking", "1", path));
    EXPECT_TRUE(WritePrivateProfileString("User", "Zoom", "180", path));
    EXPECT_EQ(ReadRaw(path), "[General]\nMode=-3\nTracking=1\n[User]\nZoom=180\n");
    // A new file gets the usual mode for the umask, not the temporary file's 0600.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
    EXPECT_EQ(GetPrivateProfileInt("general", "MODE", 0, path), -3);
    EXPECT_EQ(GetPrivateProfileInt("USER", "zoom", 0, path), 180);
}

TEST(Profile, NamesIgnoreCaseAndValuesAreTrimmed)
{
    const auto path = NewPath("hand.ini");
    WriteRaw(path, "  [ general ]  \n  mode   =   12   \n\tUser Mode=\t-4\t\nEmpty=\nText = \"quoted value\" \n");
    EXPECT_EQ(GetPrivateProfileInt("General", "Mode", 0, path), 12);
    EXPECT_EQ(GetPrivateProfileInt("GENERAL", "user mode", 0, path), -4);
    // An empty value gives the default, as a missing key does.
    EXPECT_EQ(GetPrivateProfileInt("General", "Empty", 5, path), 5);
    EXPECT_EQ(GetPrivateProfileString("General", "Empty", "d", path), "");
    EXPECT_EQ(GetPrivateProfileString("General", "text", "", path), "quoted value");

    // Writing an existing key keeps its place and takes the spelling of the writer.
    EXPECT_TRUE(WritePrivateProfileString("GENERAL", "MODE", "1", path));
    EXPECT_EQ(ReadRaw(path), "  [ general ]  \nMODE=1\n\tUser Mode=\t-4\t\nEmpty=\nText = \"quoted value\" \n");
}

TEST(Profile, BufferVariantCutsAndTerminates)
{
    const auto path = NewPath("buf.ini");
    WritePrivateProfileString("QVT-VZ1", "URL", "https://example.org/firmware.bin", path);
    char buffer[9];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileString("QVT-VZ1", "URL", "", buffer, sizeof buffer, path), 8u);
    EXPECT_STREQ(buffer, "https://");
    char small[1] = {'X'};
    EXPECT_EQ(GetPrivateProfileString("QVT-VZ1", "URL", "", small, 1, path), 0u);
    EXPECT_EQ(small[0], '\0');
}

TEST(Profile, RewriteKeepsCommentsOrderAndLineEnds)
{
    const auto path = NewPath("kept.ini");
    const std::string original = "\xEF\xBB\xBF; my notes\r\n[B]\r\nx=1\r\n\r\n# second\r\n[A]\r\ny=2\r\ngarbage line\r\n";
    WriteRaw(path, original);
    ProfileFile file(path);
    EXPECT_EQ(file.GetInt("b", "X", 0), 1);
    file.SetInt("B", "z", 3);       // new key: after the last key, before the blank line
    file.SetInt("A", "y", 20);      // changed in place
    file.SetInt("C", "w", -1);      // new section at the end
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadRaw(path),
              "\xEF\xBB\xBF; my notes\r\n[B]\r\nx=1\r\nz=3\r\n\r\n# second\r\n[A]\r\ny=20\r\ngarbage line\r\n[C]\r\nw=-1\r\n");
    EXPECT_EQ((ProfileFile(path).Sections()), (std::vector<std::string>{"B", "A", "C"}));
}

TEST(Profile, NullValueDeletesKeyAndNullKeyDeletesSection)
{
    const auto path = NewPath("del.ini");
    WriteRaw(path, "[One]\na=1\nb=2\n[Two]\nc=3\n[one]\nd=4\n");
    EXPECT_TRUE(WritePrivateProfileString("ONE", "A", nullptr, path));
    EXPECT_EQ(GetPrivateProfileInt("One", "a", -1, path), -1);
    EXPECT_EQ(GetPrivateProfileInt("One", "b", -1, path), 2);
    // The first section of a name wins; deleting a section removes every copy of it.
    EXPECT_EQ(GetPrivateProfileInt("One", "d", -1, path), -1);
    EXPECT_TRUE(WritePrivateProfileString("one", nullptr, nullptr, path));
    EXPECT_EQ(ReadRaw(path), "[Two]\nc=3\n");
}

TEST(Profile, UnsafeNamesAndValuesCannotForgeLines)
{
    const auto path = NewPath("inject.ini");
    EXPECT_TRUE(WritePrivateProfileString("QVT-VZ1", "URL", "http://a\n[General]\nMode=9", path));
    EXPECT_EQ(GetPrivateProfileString("QVT-VZ1", "URL", "", path), "http://a [General] Mode=9");
    EXPECT_FALSE(ProfileFile(path).HasSection("General"));
    EXPECT_FALSE(WritePrivateProfileString("QVT-VZ1", "a=b", "1", path));
    EXPECT_FALSE(WritePrivateProfileString("Bad]", "a", "1", path));
    EXPECT_FALSE(WritePrivateProfileString("", "a", "1", path));
    EXPECT_EQ(ProfileFile(path).Keys("QVT-VZ1"), (std::vector<std::string>{"URL"}));
}

TEST(Profile, FilesThatAreNotIniReadAsDefaultsWithoutHarm)
{
    // Binary noise with one valid section in it: the valid lines count, the rest is kept.
    std::mt19937 random(12345);
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise += static_cast<char>(random() & 0xFF);
    const auto noisy = NewPath("noise.ini");
    WriteRaw(noisy, noise + "\n[General]\nMode=1\n" + std::string(100000, 'x') + "\n");
    EXPECT_EQ(GetPrivateProfileInt("General", "Mode", 0, noisy), 1);
    EXPECT_TRUE(WritePrivateProfileString("General", "Tracking", "0", noisy));
    EXPECT_EQ(ReadRaw(noisy).substr(0, noise.size()), noise);

    const auto empty = NewPath("empty.ini");
    WriteRaw(empty, "");
    EXPECT_EQ(GetPrivateProfileInt("General", "Mode", 4, empty), 4);

    // A directory or an unreadable file: defaults, and a write refuses instead of replacing it.
    const auto folder = NewPath("folder.ini");
    QDir().mkpath(QString::fromStdString(folder));
    EXPECT_EQ(GetPrivateProfileInt("General", "Mode", 4, folder), 4);
    EXPECT_FALSE(WritePrivateProfileString("General", "Mode", "1", folder));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());

    const auto locked = NewPath("locked.ini");
    WriteRaw(locked, "[General]\nMode=2\n");
    ::chmod(locked.c_str(), 0);
    if (::access(locked.c_str(), R_OK) != 0) {  // root reads anything; the case is moot there
        EXPECT_EQ(GetPrivateProfileInt("General", "Mode", 4, locked), 4);
        EXPECT_FALSE(WritePrivateProfileString("General", "Mode", "1", locked));
        ::chmod(locked.c_str(), 0600);
        EXPECT_EQ(ReadRaw(locked), "[General]\nMode=2\n");
    }
}

TEST(Profile, SaveKeepsPermissionsAndSymbolicLinks)
{
    const auto target = NewPath("real.ini");
    WriteRaw(target, "[A]\nx=1\n");
    ::chmod(target.c_str(), 0640);
    const auto link = target + ".link";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileString("A", "x", "2", link));
    struct stat st{};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(GetPrivateProfileInt("A", "x", 0, target), 2);
}

TEST(Profile, ApplicationProfileLivesInConfigHome)
{
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ApplicationProfilePath("qvt-vz1-controller"), config + "/qvt-vz1-controller.ini");
    // A missing config folder is made.
    const std::string nested = TestRootDir().toStdString() + "/new/config";
    ::setenv("XDG_CONFIG_HOME", nested.c_str(), 1);
    const auto path = ApplicationProfilePath("prog");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(path, nested + "/prog.ini");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(nested)).isDir());
    EXPECT_TRUE(WritePrivateProfileString("A", "b", "1", path));
    // Without an argument: the running executable's name.
    EXPECT_EQ(ApplicationProfilePath(), config + "/" + QCoreApplication::applicationName().toStdString() + ".ini");
}
