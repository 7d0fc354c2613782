#pragma once
// Setting files ("*.set"): the camera settings record plus the "QVT-VZ1" values "Device",
// "Position" and "Reverse", in the profile layout. Reading and writing only; the dialog-side
// steps are the controller session's.
#include "settings/CameraSettings.h"

#include <string>

// The set-up a setting file carries.
struct SettingFileContent
{
    int nDeviceKind = 0;  // tracking source kind 0..6
    int nPosition = 0;    // distance index 0..3
    int bReverse = 0;     // 0 or 1
    CCameraSettings settings;
};

enum class SettingFileStatus
{
    Ok,
    InvalidDevice,  // "Device" outside 0..5: made by a newer program; nothing may change
    Unreadable,     // missing, a folder, no permission, too large: nothing may change
};

struct SettingFileImport
{
    SettingFileStatus status = SettingFileStatus::Unreadable;
    SettingFileContent content;  // meaningful only with Ok
};

// Writes "Device", "Position", "Reverse" into section "QVT-VZ1" and then the record with
// tracking off, in one atomic save. An existing file is updated in place (its other lines are
// kept, as the profile functions do). False when the file could not be written.
bool ExportSettingFile(const std::string& path, const CCameraSettings& settings, int nDeviceKind, int nPosition,
                       int bReverse);

// Reads a setting file. Missing keys read as 0 (a file without a "QVT-VZ1" section is kind 0,
// distance 0, not reversed); "Position" outside 0..3 becomes 0; "Reverse" is 0 or 1 (any
// nonzero value is 1); tracking is always off in the result.
SettingFileImport ImportSettingFile(const std::string& path);
