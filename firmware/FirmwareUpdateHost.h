#pragma once
// What the firmware update procedure needs from the controller dialog and the tray frame
// around it: the values it hands to the update dialog, and the operations that stop
// everything that talks to the camera before the update and bring it back afterwards.
#include "platform/WinTypes.h"

#include <QString>

class QWidget;

class FirmwareUpdateHost
{
public:
    virtual ~FirmwareUpdateHost() = default;

    // The update dialog's parent: the controller dialog.
    virtual QWidget* DialogParent() = 0;
    // The controller's m_strCameraPort and m_strFirmwareURL.
    virtual QString CameraPort() const = 0;
    virtual QString FirmwareUrl() const = 0;

    // The main window's (the tray frame's) part; each does nothing when there is no main window.
    virtual void DeleteTrayIcon() = 0;
    // Forced presence check: reports the camera even when unchanged, which also brings the
    // tray icon back.
    virtual void CheckCameraPresence() = 0;

    // Destroys and forgets the video window when it is open.
    virtual void CloseVideoWindow() = 0;
    // The controller's own operations of the same names.
    virtual void StopTracking() = 0;
    virtual void CloseCamera() = 0;
    virtual int OpenCamera() = 0;
    virtual int StartTracking() = 0;
};
