#pragma once
// The controller dialog: the program's one visible main window, owned by the hidden frame.
// It holds the tracking source and placement choices, the Auto and Manual pages, the camera
// settings record and the camera side; every camera and tracking notification ends here.
#include "camera/CameraConnection.h"
#include "camera/control/CameraCommands.h"
#include "platform/WinMessage.h"
#include "settings/CameraSettings.h"
#include "tracking/TrackingWorker.h"
#include "tracking/micarray/MicArrayReadout.h"
#include "ui/pages/AutoPage.h"
#include "ui/pages/ManualPage.h"
#include "ui/pages/ViewButtonOperations.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class CClock;
class CPageTabCtrl;
class CVideoDlg;
class VideoCapture;
enum class SettingFileOutcome;

// Control ids of the dialog.
constexpr int IDC_TAB_PAGES = 1020;
constexpr int IDC_DEVICE = 1021;
constexpr int IDC_POSITION = 1022;
constexpr int IDC_REVERSE = 1023;
constexpr int IDC_POSITION_LABEL = 1025;

class CControllerDlg : public QDialog,
                       public CMessageTarget,
                       public ViewButtonOperations,
                       private CameraCommandEvents
{
public:
    // profilePath: the application's profile file; empty means the one named after the
    // executable. clock: handed to the tracking worker; null means the system clock.
    explicit CControllerDlg(QWidget* parent = nullptr, std::string profilePath = {}, CClock* clock = nullptr);
    ~CControllerDlg() override;

    // Creates the window content hidden and reads the saved values (OnInitDialog).
    BOOL Create();
    // The end of the dialog (WM_DESTROY): closes the video window, saves everything, closes
    // the camera and stops the worker. Runs once; the destructor runs it when nobody did.
    void DestroyWindow();

    // Camera side, called by the frame's connection handling.
    int FindCameraPort();
    int OpenCamera();
    void CloseCamera();
    void SaveCameraPosition();
    void ApplyCameraPosition(BOOL bForce);

    // Tracking worker.
    int StartTracking();
    void StopTracking();

    BOOL GetAlwaysOnTop() const { return m_bAlwaysOnTop; }
    void SetTopMost(BOOL topMost, BOOL force);

    void RecalcLayout() override;
    void UpdateControlStates();
    // Saves the camera's position, the dialog's values and the settings record in one write.
    // False when the profile could not be written.
    bool SaveSettings();
    // Returns 1 when the caller may go on, 0 when the user declined to replace the presets.
    int ReloadFactoryPresets(int position, int reverse);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Command handlers (WM_COMMAND) and what the menu shows.
    void OnCommand(UINT id);
    void OnInitMenuPopup();
    void OnAbout();
    void OnExport();
    void OnImport();
    // Export and import to a path chosen elsewhere (remote control): no file dialog and no
    // question, otherwise the same steps as the menu commands.
    SettingFileOutcome ExportSettingsTo(const QString& path);
    SettingFileOutcome ImportSettingsFrom(const QString& path);
    void OnSettings();
    // OK in the settings dialog with another camera connection.
    void ChangeCameraConnection(const CameraConnection& connection);
    void OnFirmwareUpdate();
    // The firmware update from a file named elsewhere (remote control): the menu command's
    // steps and dialog, the file read instead of picked, no question, the dialog closed
    // when it has finished. FW_RESULT_* and the dialog's last status in *status; -1 when
    // the camera is not there or does not tell its version (nothing was touched).
    int UpdateFirmwareFrom(const QString& path, QString* status);
    void OnVideoWindow();
    void HideController();
    void CloseVideoWindow();

    // Control notifications.
    void OnSelchangeDevice();
    void OnSelchangePosition();
    void OnReverse();
    void OnSelchangeTab();

    // Tracking response and teaching (WM_SELECT_DIRECTION, WM_TRACKING_ENABLE) and the
    // option buttons 1014..1016 of the pages.
    LRESULT OnSelectDirection(WPARAM direction);
    LRESULT OnTrackingEnable(WPARAM on);
    void OnViewButton1() override;
    void OnViewButton2() override;
    void OnViewButton3() override;

    // End of session and power.
    BOOL OnQueryEndSession();
    BOOL OnPowerBroadcast(WPARAM event);

    // Data exchange: bSave TRUE reads the controls into the members, FALSE the reverse.
    void UpdateData(BOOL bSave);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void reject() override;

private:
    void CameraModeChanged(int mode) override;
    void ShowTrayMessage(UINT stringId) override;
    bool LoadFactoryFrontPreset(int direction) override;
    void ViewButton(int button);
    void BuildControls();
    void BuildMenu();
    void SelectDeviceEntry(int kind);
    void ApplyTopMost(bool topMost);
    bool IsAutoTabSelected() const;

public:
    // Controls.
    QMenuBar* m_pMenuBar = nullptr;
    QMenu* m_pFileMenu = nullptr;
    QWidget* m_pClient = nullptr;  // the client area below the menu bar
    QLabel* m_stDevice = nullptr;
    QLabel* m_stPosition = nullptr;
    QComboBox* m_cbPosition = nullptr;
    QComboBox* m_cbDevice = nullptr;
    QCheckBox* m_btnReverse = nullptr;
    CPageTabCtrl* m_tabPages = nullptr;

    int m_bReverse = 0;
    int m_nPosition = 0;
    int m_bAlwaysOnTop = 0;
    CCameraSettings m_settings;
    QString m_strCameraPort;
    CAutoPage m_autoPage;
    CManualPage m_manualPage;
    int m_nTabTop = 0;
    int m_nMargin = 0;
    int m_nReverseRight = 0;
    int m_nMinWidth = 0;
    int m_bModified = 0;
    QString m_strFirmwareURL;
    CameraConnection m_cameraConnection;  // profile section "Camera"
    CVideoDlg* m_pVideoWnd = nullptr;  // the open video window, owned here
    int m_nDeviceKind = 0;

    // The camera side: m_nCameraMode, m_wPadBits and m_nVideoFormat live there.
    CCameraCommands m_camera;
    // What the microphone array hears, for the settings dialog; before the worker, which
    // publishes into it, so that it outlives the worker.
    MicArrayReadout m_micArrayReadout;
    // The tracking worker (m_hTrackingThread).
    CTrackingWorker m_trackingWorker;
    // Capture services for the next video window; unset, the system's own are used.
    std::function<std::unique_ptr<VideoCapture>()> m_makeVideoCapture;

private:
    std::string m_strProfilePath;
    CClock* m_pClock;
    bool m_bCreated = false;
    bool m_bDestroyed = false;
    bool m_bChangingTopMost = false;
};
