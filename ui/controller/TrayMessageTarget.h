#pragma once
// What the controller dialog needs of the application's main window besides messages: a
// balloon on the tray icon. The frame implements it; the dialog finds it through
// AfxGetMainWnd() and shows nothing when the main window does not offer it.
#include "platform/WinTypes.h"

class TrayMessageTarget
{
public:
    virtual ~TrayMessageTarget() = default;
    // Shows the string of stringId as a balloon on the tray icon (creating the icon if needed).
    virtual void ShowTrayMessage(UINT stringId) = 0;
};
