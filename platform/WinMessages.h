#pragma once
// Every window message number of the system, in one place.
#include "platform/WinTypes.h"

// Standard messages the system handles.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_POWERBROADCAST = 0x0218;
constexpr UINT WM_DEVICECHANGE = 0x0219;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;

// WM_DEVICECHANGE and WM_POWERBROADCAST parameters.
constexpr WPARAM DBT_DEVNODES_CHANGED = 7;
constexpr WPARAM PBT_APMQUERYSUSPEND = 0;
constexpr WPARAM PBT_APMSUSPEND = 4;
constexpr WPARAM PBT_APMRESUMECRITICAL = 6;
constexpr WPARAM PBT_APMRESUMESUSPEND = 7;
constexpr WPARAM PBT_APMRESUMEAUTOMATIC = 18;

// The application's own messages.
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_TRAYNOTIFY = WM_USER + 1;          // shell -> frame: icon id, mouse message
constexpr UINT WM_CAMERA_PRESENCE = WM_USER + 2;     // frame -> itself: 1 attached, 0 not
constexpr UINT WM_CAMERA_LINK = WM_USER + 3;         // camera library -> frame: nonzero up, 0 lost
constexpr UINT WM_CAMERA_COMM_ERROR = WM_USER + 4;   // camera library -> frame
constexpr UINT WM_CAMERA_MODE = WM_USER + 5;         // camera library -> frame: stand position 0..3
constexpr UINT WM_TRACKING_DIRECTION = WM_USER + 6;  // tracking worker -> dialog: 0..5, 255 none
constexpr UINT WM_PAD_BUTTON = WM_USER + 7;          // hold button -> main window: id, 1 pressed / 0 released
constexpr UINT WM_SELECT_DIRECTION = WM_USER + 8;    // direction selector -> main window: 0..6
constexpr UINT WM_TRACKING_ENABLE = WM_USER + 9;     // "Enable Tracking" box -> main window: check state

// Firmware update worker -> update dialog.
constexpr UINT WM_FW_DOWNLOADED = WM_USER + 20;
constexpr UINT WM_FW_LOADED = WM_USER + 21;
constexpr UINT WM_FW_WRITE_PROGRESS = WM_USER + 22;
constexpr UINT WM_FW_RESTART_PROGRESS = WM_USER + 23;
constexpr UINT WM_FW_FINISHED = WM_USER + 24;
