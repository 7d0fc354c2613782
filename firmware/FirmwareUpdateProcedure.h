#pragma once
// The controller's "QVT-VZ1 Firmware Update..." command: checks that the camera is there
// and tells its version, stops everything that talks to the camera, shows the update
// dialog, and brings the camera connection, the tray icon and tracking back afterwards.
#include "firmware/FirmwareUpdateHost.h"

class FirmwareUpdateServices;

#include <functional>

class CFirmwareUpdateDlg;

// Shows the prepared dialog modally; the default runs exec().
using ShowFirmwareDialog = std::function<void(CFirmwareUpdateDlg&)>;

// Returns true when the dialog was shown (and everything stopped and brought back),
// false when a check failed and nothing was touched. services: the dialog's (null: the
// product's, which ask the user); with services handed in, a failed check shows no message
// box either (the caller reports it).
bool RunFirmwareUpdate(FirmwareUpdateHost& host, const ShowFirmwareDialog& show = {},
                       FirmwareUpdateServices* services = nullptr);
