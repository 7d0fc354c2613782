#pragma once
// The controller without its window: the camera settings record and the choices above the
// tabs, the page, the camera side and the tracking worker, with the rules that tie them
// together (teaching by reading back, the tracking response, factory presets) and the
// profile they live in. The dialog, the pages, the tray frame and the remote interfaces are
// views of it: they call its operations and redraw from its signals.
#include "camera/CameraConnection.h"
#include "camera/control/CameraCommands.h"
#include "controller/ControlRules.h"
#include "platform/WinMessage.h"
#include "settings/CameraSettings.h"
#include "tracking/TrackingWorker.h"
#include "tracking/micarray/MicArrayReadout.h"
#include "tracking/micarray/MicArraySetup.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class CClock;

// What an import or export of a setting file came to.
enum class SettingFileOutcome
{
    Done,
    NotWritten,     // the file could not be written; nothing changed
    NotRead,        // the file could not be read; nothing changed
    InvalidDevice,  // "Device" from a newer program; nothing changed
};

class ControllerSession final : public QObject, public CMessageTarget, private CameraCommandEvents
{
    Q_OBJECT

public:
    // profilePath: the application's profile file; empty means the one named after the
    // executable. clock: handed to the tracking worker; null means the system clock.
    explicit ControllerSession(std::string profilePath = {}, CClock* clock = nullptr, QObject* parent = nullptr);
    ~ControllerSession() override;

    // Reads the saved values and the settings record, and configures the camera library
    // for the chosen connection. Once, before the first presence check.
    void Load();
    // Saves the camera's position, the values and the settings record in one write. False
    // when the profile could not be written (an unreadable one is never replaced).
    bool SaveSettings();
    // The end: saves everything, closes the camera and stops the worker. Runs once.
    void Shutdown();
    // The session ends (log-off): as Shutdown, but the session may go on afterwards.
    void OnQueryEndSession();

    // Asked before factory presets replace taught ones; true goes on. Unset: nobody is
    // there to ask and the answer is yes.
    void SetConfirm(std::function<bool(UINT stringId)> confirm) { m_confirm = std::move(confirm); }

    // Camera side.
    int FindCameraPort();
    int OpenCamera();
    void CloseCamera();
    void SaveCameraPosition();
    void ApplyCameraPosition(BOOL bForce);
    // A firmware update borrows the camera: tracking stops and the camera is closed, and
    // everything that watches it goes quiet (cameraBorrowed). Returning it looks for the port
    // again (the restarted camera may come back on another), opens it and resumes tracking.
    void BorrowCamera();
    void ReturnCamera();

    // Tracking worker.
    int StartTracking();
    void StopTracking();

    // The choices above the tabs. Each returns false when the choice was not taken (the
    // user kept taught presets); the view shows the session's value again.
    bool OnSelchangeDevice(int kind);
    bool OnSelchangePosition(int position);
    bool OnReverse(int reverse);
    void OnSelchangeTab(int page);

    // Tracking response, teaching and the option buttons 1014..1016.
    void OnSelectDirection(int direction);
    void OnTrackingEnable(bool on);
    void OnViewButton(int button);
    void OnPadButton(int id, bool pressed);
    // Messages of the camera library and the tracking worker.
    void OnCameraLink(bool up);
    void OnCameraCommError();
    void OnCameraMode(int mode);
    void OnTrackingDirection(int direction);

    // Setting files, to a path chosen elsewhere.
    SettingFileOutcome ExportSettingsTo(const std::string& path);
    SettingFileOutcome ImportSettingsFrom(const std::string& path);

    // The settings dialog's values on OK.
    void SetAlwaysOnTop(bool on);
    void SetFirmwareUrl(const QString& url);
    void SetVideoFormat(int format);
    // The microphone array's setup as stored in the profile; storing another one restarts
    // an array source at once (also one whose device had vanished).
    MicArraySetup MicArray() const;
    void SetMicArray(const MicArraySetup& setup);
    // Another camera: the old one taught and closed, the library configured for the new
    // one, the profile saved; cameraConnectionChanged asks the watch to look for it.
    void ChangeCameraConnection(const CameraConnection& connection);

    // State.
    const CCameraSettings& Settings() const { return m_settings; }
    int Page() const { return m_settings.m_nMode; }
    int CameraMode() const { return m_camera.m_nCameraMode; }
    int DeviceKind() const { return m_nDeviceKind; }
    int Position() const { return m_nPosition; }
    int Reverse() const { return m_bReverse; }
    bool Tracking() const { return m_settings.m_bTracking != 0; }
    // The chosen direction of the stand position (Upside or Front); 255 in any other.
    int Direction() const;
    // The last direction the worker reported while tracking (255: nobody, or not tracking).
    int TalkerDirection() const { return Tracking() ? m_nTalker : 255; }
    int Modified() const { return m_bModified; }
    bool AlwaysOnTop() const { return m_bAlwaysOnTop != 0; }
    QString FirmwareUrl() const { return m_strFirmwareURL; }
    QString CameraPort() const { return m_strCameraPort; }
    bool CameraOpen() const;
    // The open camera's firmware version, asked once per link; empty without a camera.
    QString FirmwareVersion();
    int VideoFormat() const { return m_camera.m_nVideoFormat; }
    const CameraConnection& Connection() const { return m_cameraConnection; }
    const std::string& ProfilePath() const { return m_strProfilePath; }
    // What a microphone array source hears now, for the settings dialog's readout.
    MicArrayReadout& ArrayReadout() { return m_micArrayReadout; }
    bool TrackingWorkerRunning() const { return m_trackingWorker.IsRunning() && !m_trackingWorker.HasEnded(); }
    // The state as the rules of what may be used now see it.
    ControlState Controls() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Posted and sent window messages (the worker's directions) reach WindowProc.
    bool event(QEvent* e) override { return DispatchWinMessage(e, this) || QObject::event(e); }

Q_SIGNALS:
    // Anything a view shows changed (page, choices, tracking, directions, stand position,
    // taught settings). Views redraw; several changes may come as several signals.
    void stateChanged();
    // Each direction reported to the session (255: nobody speaks), also one it drops
    // because tracking does not drive the camera now.
    void talkerDirection(int direction);
    // A balloon on the tray icon with the string of id.
    void trayMessage(UINT stringId);
    // The camera link went down (lost, or a communication error): the camera is closed.
    void cameraLinkDown();
    // A firmware update took the camera, and gave it back.
    void cameraBorrowed();
    void cameraReturned();
    // The camera connection was changed: look for the camera anew.
    void cameraConnectionChanged();
    // The profile's Fleet section was changed: the broker link starts anew.
    void fleetChanged();

private:
    // CameraCommandEvents: what the camera side reports up.
    void CameraModeChanged(int mode) override;
    void CameraStateChanged() override;
    void ShowTrayMessage(UINT stringId) override;
    bool LoadFactoryFrontPreset(int direction) override;

    // Returns 1 when the caller may go on, 0 when the user declined to replace the presets.
    int ReloadFactoryPresets(int position, int reverse);
    void LoadDefaultPresets(int direction, int position, int reverse);
    bool Confirm(UINT stringId) const;

    CCameraSettings m_settings;
    int m_nDeviceKind = 0;
    int m_nPosition = 0;
    int m_bReverse = 0;
    int m_bAlwaysOnTop = 0;
    int m_bModified = 0;
    QString m_strFirmwareURL;
    QString m_strCameraPort;
    CameraConnection m_cameraConnection;  // profile section "Camera"
    CCameraCommands m_camera;             // m_nCameraMode, m_wPadBits, m_nVideoFormat
    MicArrayReadout m_micArrayReadout;    // outlives the worker that publishes into it
    CTrackingWorker m_trackingWorker;
    int m_nTalker = 255;
    QString m_strFirmwareVersion;
    bool m_bVersionStale = true;

    std::string m_strProfilePath;
    CClock* m_pClock;
    std::function<bool(UINT)> m_confirm;
    bool m_bLoaded = false;
    bool m_bShutDown = false;
};
