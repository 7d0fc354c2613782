#include "ui/controller/SettingsCommand.h"

#include "controller/ControllerSession.h"
#include "ui/settings/SettingsDlg.h"
#include "tracking/TrackingState.h"

void RunSettingsCommand(QWidget* parent, ControllerSession& session, const std::function<void(BOOL)>& setTopMost)
{
    AppSettings current{session.AlwaysOnTop() ? 1 : 0, session.FirmwareUrl(), session.VideoFormat(),
                        session.Connection()};
    MicArraySetup micArray = session.MicArray();
    // The readout listens itself only for a chosen array that no worker reads: nobody's
    // microphone is opened just because the dialog is.
    const bool arrayChosen = session.DeviceKind() == kTrackingMicArray;
    const bool listen = arrayChosen && !session.TrackingWorkerRunning();
    const SettingsOutcome outcome = RunSettingsDialog(parent, current, &micArray, &session.ArrayReadout(), listen,
                                                       &session.ProfilePath());
    session.SetMicArray(micArray);
    // The camera has its new format already; the dialog keeps the values and its z-order.
    if (outcome.topMost == TopMostChange::MakeTopMost)
        setTopMost(TRUE);
    else if (outcome.topMost == TopMostChange::MakeNotTopMost)
        setTopMost(FALSE);
    session.SetAlwaysOnTop(current.bAlwaysOnTop != 0);
    session.SetFirmwareUrl(current.strFirmwareUrl);
    session.SetVideoFormat(current.nVideoFormat);
    if (outcome.bCameraChanged)
        session.ChangeCameraConnection(current.camera);
    if (outcome.bFleetChanged)
        Q_EMIT session.fleetChanged();
}
