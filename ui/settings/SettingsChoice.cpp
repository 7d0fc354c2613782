#include "ui/settings/SettingsChoice.h"

#include "camera/QvtVz1Api.h"

TopMostChange DecideTopMost(BOOL bCurrent, BOOL bWanted, BOOL bForce)
{
    if (bForce)
        return bWanted ? TopMostChange::MakeTopMost : TopMostChange::MakeNotTopMost;
    if (bWanted && !bCurrent)
        return TopMostChange::MakeTopMost;
    if (!bWanted && bCurrent)
        return TopMostChange::MakeNotTopMost;
    return TopMostChange::None;
}

SettingsOutcome ApplySettingsChoice(AppSettings& current, const AppSettings& chosen, BOOL bCameraWasOpen)
{
    SettingsOutcome outcome;
    current.strFirmwareUrl = chosen.strFirmwareUrl;

    outcome.topMost = DecideTopMost(current.bAlwaysOnTop, chosen.bAlwaysOnTop, FALSE);
    if (outcome.topMost == TopMostChange::MakeTopMost)
        current.bAlwaysOnTop = 1;
    else if (outcome.topMost == TopMostChange::MakeNotTopMost)
        current.bAlwaysOnTop = 0;

    if (bCameraWasOpen && chosen.nVideoFormat != current.nVideoFormat) {
        current.nVideoFormat = chosen.nVideoFormat;
        CamSetVideoFormat(chosen.nVideoFormat);
        CamCommitSettings();
        outcome.bVideoFormatSent = true;
    }
    if (!(chosen.camera == current.camera)) {
        current.camera = chosen.camera;
        outcome.bCameraChanged = true;
    }
    return outcome;
}
