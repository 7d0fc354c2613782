#include "camera/CameraAnnouncement.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

std::string CameraRuntimeDir()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/qvt-vz1";
    return "/tmp/qvt-vz1-" + std::to_string(::getuid());
}

namespace {

// The folder must be a real directory of this user that nobody else can write to: in
// /tmp another user could have made it first, or put a link there, to feed us a port.
bool FolderIsOurs(const std::string& dir)
{
    struct stat st{};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string CameraAnnouncementPath()
{
    return CameraRuntimeDir() + "/camera";
}

bool EnsureCameraRuntimeDir()
{
    const std::string dir = CameraRuntimeDir();
    return (::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) && FolderIsOurs(dir);
}

bool WriteCameraAnnouncement(const std::string& portPath)
{
    if (!EnsureCameraRuntimeDir())
        return false;
    const std::string target = CameraAnnouncementPath();
    const std::string temp = target + ".tmp." + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const std::string text = portPath + "\n";
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

void RemoveCameraAnnouncement()
{
    ::unlink(CameraAnnouncementPath().c_str());
}

std::string ReadCameraAnnouncement()
{
    if (!FolderIsOurs(CameraRuntimeDir()))
        return {};
    const int fd = ::open(CameraAnnouncementPath().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return {};
    char buf[256];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    if (n <= 0)
        return {};
    std::string_view text(buf, static_cast<size_t>(n));
    text = text.substr(0, text.find('\n'));
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    std::string path(text);
    struct stat st{};
    if (path.empty() || path[0] != '/' || ::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return {};
    return path;
}
