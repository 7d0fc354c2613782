#include "platform/Profile.h"

#include "platform/ProfileFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace {

std::string ConfigFolder()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config";
}

void MakeFolders(const std::string& path)
{
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == '/')
            ::mkdir(path.substr(0, pos).c_str(), 0700);
    }
}

} // namespace

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const std::string& path)
{
    if (!section || !key)
        return defaultValue;
    return ProfileFile(path).GetInt(section, key, defaultValue);
}

std::string GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                    const std::string& path)
{
    const char* fallback = defaultValue ? defaultValue : "";
    if (!section || !key)
        return fallback;
    return ProfileFile(path).GetString(section, key, fallback);
}

DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size, const std::string& path)
{
    if (!buffer || size == 0)
        return 0;
    const std::string value = GetPrivateProfileString(section, key, defaultValue, path);
    const std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const std::string& path)
{
    if (!section)
        return FALSE;
    ProfileFile file;
    if (!file.Load(path))
        return FALSE;
    if (!key)
        file.DeleteSection(section);
    else if (!value)
        file.DeleteKey(section, key);
    else if (!file.SetString(section, key, value))
        return FALSE;
    if (!file.IsModified())
        return TRUE;  // nothing to write; a missing file stays missing
    return file.Save() ? TRUE : FALSE;
}

std::string ApplicationProfilePath(std::string_view baseName)
{
    const std::string folder = ConfigFolder();
    MakeFolders(folder);
    return folder + "/" + std::string(baseName) + ".ini";
}

std::string ApplicationProfilePath()
{
    QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("qvt-vz1-controller");
    return ApplicationProfilePath(base.toStdString());
}
