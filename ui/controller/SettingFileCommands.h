#pragma once
// The export and import commands of the controller dialog: the file dialogs and messages
// (through Prompter()) around the session's own export and import steps.
#include "platform/Prompt.h"
#include "platform/WinTypes.h"

#include <QString>

class ControllerSession;
class QWidget;

// Strings of the two failures the setting files report beyond the original messages.
constexpr UINT IDS_SETTING_FILE_NOT_WRITTEN = 35900;
constexpr UINT IDS_SETTING_FILE_NOT_READ = 35901;
constexpr UINT IDS_REPLACE_SETTINGS = 35014;
constexpr UINT IDS_INVALID_DEVICE = 35028;

// The file dialog of the export (save) or import (open) command.
FileDialogRequest SettingFileDialogRequest(bool bOpen);

// OnExport: save dialog, then the file; "modified" cleared when written. Returns true when
// a file was written. A failed write is reported and leaves "modified" as it was.
bool RunExport(QWidget* parent, ControllerSession& session);

// OnImport: question 35014 when modified, open dialog, then the file; message 35028 for a
// device kind from a newer program. Returns true when the set-up was replaced.
bool RunImport(QWidget* parent, ControllerSession& session);

// Makes the user's documents folder the current folder (the program's folder when there is
// none) and returns it.
QString ResetCurrentDirectory();
