#pragma once
// What pressing OK in the settings dialog changes, as a plain decision: the controller's
// values in, the calls to make out. The camera calls are made here (the camera library's C
// functions); the window's z-order is left to the caller, who is told whether to change it.
#include "camera/CameraConnection.h"
#include "platform/WinTypes.h"

#include <QString>

// The three values the settings dialog edits.
struct AppSettings
{
    BOOL bAlwaysOnTop = 0;
    QString strFirmwareUrl;
    int nVideoFormat = 0;  // 0 NTSC, 1 PAL
    CameraConnection camera;  // how the camera is reached
};

enum class TopMostChange
{
    None,
    MakeTopMost,
    MakeNotTopMost,
};

// The top-most judgement of SetTopMost: forced, the window takes the wanted state whatever it
// was; otherwise it changes only when the wanted state differs from the current one.
TopMostChange DecideTopMost(BOOL bCurrent, BOOL bWanted, BOOL bForce);

struct SettingsOutcome
{
    TopMostChange topMost = TopMostChange::None;
    bool bVideoFormatSent = false;
    bool bCameraChanged = false;  // the caller closes the camera and connects anew
    bool bFleetChanged = false;   // the Fleet section was saved: the caller starts the link anew
};

// Applies chosen (the dialog's values after OK) to current (the controller's), in the order
// of the command: the URL is taken as it stands, empty too; always-on-top is judged against
// current (not forced) and current follows; when the camera was open as the dialog started
// and the format differs, current takes it and the camera gets CamSetVideoFormat, then
// CamCommitSettings. Returns what the caller must do with the window.
SettingsOutcome ApplySettingsChoice(AppSettings& current, const AppSettings& chosen, BOOL bCameraWasOpen);
