// Where the virtual camera is announced, and which announcements are believed.
#include "camera/CameraAnnouncement.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs body with XDG_RUNTIME_DIR set to value (or unset), restoring it afterwards.
template <typename Body>
void WithRuntimeDir(const char* value, Body body)
{
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    if (value)
        ::setenv("XDG_RUNTIME_DIR", value, 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
    body();
    if (old)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

} // namespace

TEST(CameraAnnouncement, LivesInTheRuntimeFolderOrAPrivateTmpFolder)
{
    WithRuntimeDir("/run/user/4242", [] {
        EXPECT_EQ(CameraRuntimeDir(), "/run/user/4242/qvt-vz1");
        EXPECT_EQ(CameraAnnouncementPath(), "/run/user/4242/qvt-vz1/camera");
    });
    WithRuntimeDir(nullptr, [] { EXPECT_EQ(CameraRuntimeDir(), "/tmp/qvt-vz1-" + std::to_string(::getuid())); });
    WithRuntimeDir("", [] { EXPECT_EQ(CameraRuntimeDir(), "/tmp/qvt-vz1-" + std::to_string(::getuid())); });
}

TEST(CameraAnnouncement, WriteCreatesAPrivateFolderAndReadGivesTheDevice)
{
    RemoveCameraAnnouncement();
    ::rmdir(CameraRuntimeDir().c_str());
    ASSERT_TRUE(EnsureCameraRuntimeDir());
    ASSERT_TRUE(EnsureCameraRuntimeDir());  // again: already there
    ::rmdir(CameraRuntimeDir().c_str());
    // /dev/tty is a character device present everywhere; it stands in for a pts path.
    ASSERT_TRUE(WriteCameraAnnouncement("/dev/tty"));
    struct stat st{};
    ASSERT_EQ(::stat(CameraRuntimeDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(ReadCameraAnnouncement(), "/dev/tty");
    // No temporary file is left beside it.
    EXPECT_NE(::access((CameraAnnouncementPath() + ".tmp." + std::to_string(::getpid())).c_str(), F_OK), 0);
    RemoveCameraAnnouncement();
    EXPECT_EQ(ReadCameraAnnouncement(), "");
    RemoveCameraAnnouncement();  // quiet when already gone
}

TEST(CameraAnnouncement, DamagedOrForeignAnnouncementsAnnounceNothing)
{
    ASSERT_TRUE(WriteCameraAnnouncement("/dev/tty"));
    const std::string path = CameraAnnouncementPath();
    for (const char* text : {"", "\n/dev/tty\n", "dev/tty\n", "/etc/passwd\n", "/dev/pts/99999\n", "/tmp\n"}) {
        std::ofstream(path, std::ios::trunc) << text;
        EXPECT_EQ(ReadCameraAnnouncement(), "") << text;
    }
    std::ofstream(path, std::ios::trunc) << "/dev/tty\r\nignored second line\n";
    EXPECT_EQ(ReadCameraAnnouncement(), "/dev/tty");

    // A folder others may write to is not trusted, nor written to.
    ASSERT_EQ(::chmod(CameraRuntimeDir().c_str(), 0777), 0);
    EXPECT_EQ(ReadCameraAnnouncement(), "");
    EXPECT_FALSE(WriteCameraAnnouncement("/dev/tty"));
    EXPECT_FALSE(EnsureCameraRuntimeDir());
    ASSERT_EQ(::chmod(CameraRuntimeDir().c_str(), 0700), 0);
    RemoveCameraAnnouncement();
}
