#include "settings/SettingFile.h"

#include "platform/ProfileFile.h"
#include "settings/SettingRanges.h"

#include <sys/stat.h>

namespace {
constexpr const char* kSection = "QVT-VZ1";
}

bool ExportSettingFile(const std::string& path, const CCameraSettings& settings, int nDeviceKind, int nPosition,
                       int bReverse)
{
    ProfileFile file;
    if (!file.Load(path))
        return false;
    file.SetInt(kSection, "Device", nDeviceKind);
    file.SetInt(kSection, "Position", nPosition);
    file.SetInt(kSection, "Reverse", bReverse);
    // A setting file always holds tracking off.
    CCameraSettings record = settings;
    record.m_bTracking = 0;
    record.WriteProfile(file);
    return file.Save();
}

SettingFileImport ImportSettingFile(const std::string& path)
{
    SettingFileImport result;
    // A path that is not a readable file must not read as "all defaults": that would wipe the
    // running set-up with nothing the user chose.
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return result;
    ProfileFile file;
    if (!file.Load(path))
        return result;

    const int nDeviceKind = file.GetInt(kSection, "Device", 0);
    if (!IsValidDeviceKind(nDeviceKind)) {
        result.status = SettingFileStatus::InvalidDevice;
        return result;
    }
    result.status = SettingFileStatus::Ok;
    result.content.nDeviceKind = nDeviceKind;
    result.content.nPosition = ClampDistanceIndex(file.GetInt(kSection, "Position", 0));
    result.content.bReverse = file.GetInt(kSection, "Reverse", 0) != 0 ? 1 : 0;
    result.content.settings.ReadProfile(file);
    result.content.settings.m_bTracking = 0;
    return result;
}
