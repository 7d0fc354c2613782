#pragma once
// The notification-area icon as the frame uses it: one icon with a tooltip, shown and changed
// together with a balloon, and removed. Behind this interface so that tests see every balloon.
#include "platform/WinMessages.h"
#include "platform/WinTypes.h"

#include <QIcon>
#include <QString>

class QMenu;

// Tray -> notify target: a notification area has appeared where there was none, so an icon
// that could not be shown can be added now (what a new task bar broadcasts on Windows).
constexpr UINT WM_TRAY_CREATED = WM_USER + 30;

// The one icon's id in WM_TRAYNOTIFY.
constexpr WPARAM kTrayIconId = 1;

// What the frame fills anew for every update of the icon.
struct TrayIconData
{
    QIcon icon;
    QString tip;        // tooltip
    QString infoTitle;  // balloon title
    QString info;       // balloon text
    int infoTimeoutMs = 10000;
};

class ITrayIcon
{
public:
    virtual ~ITrayIcon() = default;

    // False while the desktop has no notification area to put the icon in. The tray keeps
    // watching for one and posts WM_TRAY_CREATED to the notify target when it appears.
    virtual bool IsAvailable() const = 0;
    // Changes the shown icon and shows the balloon; false when no icon is shown.
    virtual bool Modify(const TrayIconData& data) = 0;
    // Shows the icon with the balloon; false when that is not possible.
    virtual bool Add(const TrayIconData& data) = 0;
    // Removes the icon; false when none was shown.
    virtual bool Delete() = 0;
    virtual bool IsShown() const = 0;

    // The menu shown on a right click (owned by the caller).
    virtual void SetContextMenu(QMenu* menu) = 0;
    // Where mouse messages go: WM_TRAYNOTIFY with the icon id 1 and the mouse message. The
    // gesture that opens the program arrives as WM_LBUTTONDBLCLK on every kind of tray.
    virtual void SetNotifyTarget(HWND target) = 0;
};
