#pragma once
// The export and import commands of the controller dialog, as plain functions around the
// setting files: file dialogs and messages through Prompter(), and a small host interface
// for what only the controller can do (camera, pages, controls).
#include "platform/Prompt.h"
#include "platform/WinTypes.h"
#include "settings/CameraSettings.h"

#include <QString>

class QWidget;

// The controller's members that export and import read and replace.
struct ControllerSetup
{
    int& nDeviceKind;           // m_nDeviceKind
    int& nPosition;             // m_nPosition
    BOOL& bReverse;             // m_bReverse
    CCameraSettings& settings;  // m_settings
    BOOL& bModified;            // m_bModified
};

class SettingFileHost
{
public:
    virtual ~SettingFileHost() = default;
    // Parent of the file dialogs and messages.
    virtual QWidget* DialogParent() = 0;
    // Reads the camera's position back into the preset in force (export, before writing).
    virtual void SaveCameraPosition() = 0;
    // After an import, in this order:
    // sends the camera to the imported setting (not forced);
    virtual void ApplyCameraPosition() = 0;
    // the Auto page's UpdateControls, then UpdateControlStates;
    virtual void UpdateControlsAfterImport() = 0;
    // enables (kind 1..5) or disables (kind 0) the "VZ1 Position" and "Reverse" boxes;
    virtual void EnablePositionAndReverse(bool bEnable) = 0;
    // moves distance and Reverse into their controls, selects the device item whose data is
    // the kind (selection unchanged when none), the Auto page's SetDeviceKind, RecalcLayout.
    virtual void ShowImportedSetup() = 0;
};

// Strings of the two failures the setting files report beyond the original messages.
constexpr UINT IDS_SETTING_FILE_NOT_WRITTEN = 35900;
constexpr UINT IDS_SETTING_FILE_NOT_READ = 35901;
constexpr UINT IDS_REPLACE_SETTINGS = 35014;
constexpr UINT IDS_INVALID_DEVICE = 35028;

// The file dialog of the export (save) or import (open) command.
FileDialogRequest SettingFileDialogRequest(bool bOpen);

// What writing or reading a chosen setting file came to.
enum class SettingFileOutcome
{
    Done,
    NotWritten,     // the file could not be written; nothing changed
    NotRead,        // the file could not be read; nothing changed
    InvalidDevice,  // "Device" from a newer program; nothing changed
};

// The steps of the export after its file dialog, for a path already chosen (also by a caller
// without a dialog): the camera's position read back, the file written, m_bModified cleared.
SettingFileOutcome ExportSetupTo(SettingFileHost& host, ControllerSetup setup, const QString& path);

// The steps of the import after its file dialog: the set-up replaced from path and shown.
SettingFileOutcome ImportSetupFrom(SettingFileHost& host, ControllerSetup setup, const QString& path);

// OnExport: save dialog, then the file; m_bModified cleared when written. Returns true when
// a file was written. A failed write is reported and leaves m_bModified as it was.
bool RunExport(SettingFileHost& host, ControllerSetup setup);

// OnImport: question 35014 when modified, open dialog, then the file; message 35028 for a
// device kind from a newer program. Returns true when the set-up was replaced.
bool RunImport(SettingFileHost& host, ControllerSetup setup);

// Makes the user's documents folder the current folder (the program's folder when there is
// none) and returns it.
QString ResetCurrentDirectory();
