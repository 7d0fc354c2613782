#pragma once
// The application settings dialog (template 129, "Settings"): always on top, the camera's
// video output format, the firmware download address. It edits copies only; the controller
// applies them on OK (ApplySettingsChoice).
#include "platform/Prompt.h"
#include "platform/WinTypes.h"
#include "ui/settings/SettingsChoice.h"
#include "tracking/micarray/MicArraySetup.h"

#include <QDialog>
#include <QString>

#include <string>

class CCameraConnectionGroup;
class CFleetGroup;
class CMicArrayGroup;
class MicArrayReadout;
class QButtonGroup;
class QCheckBox;
class QScrollArea;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Control ids of the template.
constexpr int IDC_ALWAYS_ON_TOP = 1028;
constexpr int IDC_FIRMWARE_URL = 1034;
constexpr int IDC_NTSC = 1037;
constexpr int IDC_PAL = 1038;
constexpr int IDC_URL_DEFAULT = 1039;

class CSettingsDlg : public QDialog
{
public:
    // The microphone array group shows readout (see CMicArrayGroup).
    explicit CSettingsDlg(QWidget* parent = nullptr, MicArrayReadout* readout = nullptr);
    ~CSettingsDlg() override;

    // Runs OnInitDialog, then the modal loop; IDOK (1) or IDCANCEL (2).
    int exec() override;
    // Members into the controls; asks the camera library whether the camera is open and
    // greys the format radios when it is not.
    BOOL OnInitDialog();
    // Button 1039: the built-in address into the member and the edit box.
    void OnDefault();
    // OK: reads the controls back into the members, then ends with IDOK.
    void accept() override;
    // Controls to members (true) or members to controls (false).
    void DoDataExchange(bool bSaveAndValidate);

    // The members as the controller applies them.
    AppSettings Choice() const;
    // At most room pixels high: the groups scroll, OK and Cancel stay visible. exec() fits
    // the dialog to its screen.
    void FitToHeight(int room);

    BOOL m_bCameraOpen = 0;
    QLineEdit* m_editUrl = nullptr;  // control 1034
    BOOL m_bAlwaysOnTop = 0;
    QString m_strFirmwareUrl;
    int m_nVideoFormat = 0;  // 0 "NTSC", 1 "PAL"
    CameraConnection m_camera;
    CCameraConnectionGroup* m_cameraGroup = nullptr;
    MicArraySetup m_micArraySetup;
    BOOL m_bListenToArray = 0;  // the readout listens itself (no worker of the array runs)
    CMicArrayGroup* m_micArrayGroup = nullptr;
    CFleetGroup* m_fleetGroup = nullptr;  // shown when RunSettingsDialog is given a profile

private:
    void ShowUrl();
    void FitToScreen();

    QWidget* m_body = nullptr;
    QScrollArea* m_scroll = nullptr;

    QCheckBox* m_checkTop = nullptr;
    QRadioButton* m_radioNtsc = nullptr;
    QRadioButton* m_radioPal = nullptr;
    QButtonGroup* m_formats = nullptr;
    QPushButton* m_btnDefault = nullptr;
};

// The whole "Settings..." command: copies current into the dialog, shows it modally and on
// OK applies the choice (ApplySettingsChoice); the returned change of the z-order is the
// caller's to carry out. Cancel changes nothing and returns no change.
// micArray, when given, is edited in the "Microphone array" group too and takes the choice on
// OK; the group shows readout (the caller's, also where the tracking worker publishes); listen
// lets the group listen to the array itself, into readout.
// fleetProfile, when given, is the profile whose Fleet section the "Fleet" group edits; OK
// saves it there (bFleetChanged).
SettingsOutcome RunSettingsDialog(QWidget* parent, AppSettings& current, MicArraySetup* micArray = nullptr,
                                  MicArrayReadout* readout = nullptr, bool listen = false,
                                  const std::string* fleetProfile = nullptr);
