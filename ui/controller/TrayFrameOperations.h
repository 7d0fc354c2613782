#pragma once
// What the controller dialog needs of the application's main window (the hidden tray frame)
// around a firmware update, besides the balloon of TrayMessageTarget. The frame implements
// it; the dialog finds it through AfxGetMainWnd() and does without when it is not offered.
#include "ui/controller/TrayMessageTarget.h"

class TrayFrameOperations : public TrayMessageTarget
{
public:
    // Removes the tray icon (before a firmware update).
    virtual void DeleteTrayIcon() = 0;
    // Asks whether the camera is attached; forced, reports it even when unchanged.
    virtual void CheckCameraPresence(BOOL force) = 0;
    // From the start of a firmware update to its end the frame leaves the camera alone: the
    // camera restarts meanwhile, and neither its going nor its coming back may show the
    // icon, a balloon, open it or start tracking. The forced check after the update brings
    // everything back.
    virtual void SetFirmwareUpdating(BOOL updating) { (void)updating; }
};

// The main window's balloon, or null when it has none.
TrayMessageTarget* MainFrameTrayMessages();
// The main window's operations, or null when it has none.
TrayFrameOperations* MainFrameOperations();
