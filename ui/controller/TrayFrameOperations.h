#pragma once
// What the controller dialog needs of the application's main window (the hidden tray frame)
// besides messages. The frame implements it; the dialog finds it through AfxGetMainWnd()
// and does without when the main window does not offer it.
#include "platform/WinTypes.h"

class TrayFrameOperations
{
public:
    virtual ~TrayFrameOperations() = default;
    // Shows the string of stringId as a balloon on the tray icon (creating the icon if needed).
    virtual void ShowTrayMessage(UINT stringId) = 0;
    // Removes the tray icon (before a firmware update).
    virtual void DeleteTrayIcon() = 0;
    // Asks whether the camera is attached; forced, reports it even when unchanged.
    virtual void CheckCameraPresence(BOOL force) = 0;
};

// The main window's operations, or null when it has none.
TrayFrameOperations* MainFrameOperations();
