#pragma once
// What the remote interfaces need of the program's windows, which the core does not have:
// the tray frame implements it over the controller dialog; a test implements it over
// nothing. Remote control asks it instead of including any window.
#include <QString>

class ControllerWindows
{
public:
    virtual ~ControllerWindows() = default;
    // A window of the program waits for an answer (a firmware update, a question, a file
    // dialog, the settings or About box): what it is about must not change under it.
    virtual bool Busy() const = 0;
    // Shows the controller window (raised when it is shown already).
    virtual void ShowController() = 0;
    // Hides it; false, and nothing done, when hiding would end the program (no tray).
    virtual bool HideController() = 0;
    // Opens or closes the video window, as its menu item does; nothing when it already is so.
    virtual void ShowVideo(bool on) = 0;
    // The firmware update from the file at path, as the menu command runs it with the file
    // read instead of picked and no question. FW_RESULT_* and the update's last status in
    // *status; -1 when the camera is not there or does not tell its version.
    virtual int UpdateFirmwareFrom(const QString& path, QString* status) = 0;
};
