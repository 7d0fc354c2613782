#pragma once
// Whether the camera is there, in one place: it asks the camera library at start, on every
// device change and after resume (a network camera every few seconds, off the interface
// thread), opens the camera and starts tracking on an arrival (waiting a moment for its
// port), closes it on a departure and hides the tray icon 10 s later, re-opens a camera
// that went silent, and stays quiet while a firmware update has borrowed the camera. The
// tray frame drives it and shows what it says.
#include "camera/CameraProbeRunner.h"
#include "controller/CameraRetries.h"
#include "platform/WinMessage.h"

#include <QObject>

class ControllerSession;

class CameraWatch final : public QObject, public CMessageTarget
{
    Q_OBJECT

public:
    // The hide timer runs hideTimerMs (10 s) after a "not connected" report.
    explicit CameraWatch(ControllerSession& session, int hideTimerMs = 10000, CameraRetryTiming retries = {});
    ~CameraWatch() override;

    // Asks whether the camera is attached and reports it (WM_CAMERA_PRESENCE, posted to the
    // watch) when the answer changed; forced, also when unchanged.
    void CheckCameraPresence(BOOL force);
    // The report: "available" and open, or "not connected", closed and the countdown.
    void OnCameraPresence(bool attached);
    // WM_DEVICECHANGE with DBT_DEVNODES_CHANGED.
    void OnDeviceChange();
    // Suspend: no retries, the camera's position taught, tracking stopped, the camera closed.
    void OnSuspend();
    // Resume: looked for anew.
    void OnResume();
    // The frame's timers, by id (WM_TIMER); false when the id is not the watch's.
    bool OnTimer(int timerId);
    // The end: nothing more is asked or reported.
    void Stop();

    // A network camera is looked for every presencePollMs (5 s): nothing announces it.
    void SetPresencePollMs(int ms) { m_nPresencePollMs = ms; }
    int PresencePollTimerId() const { return m_nPresencePollTimer; }
    // The id of the running hide timer; 0 when it is not running.
    int HideTimerId() const { return m_nHideTimer; }
    BOOL CameraPresent() const { return m_bCameraPresent; }
    bool FirmwareUpdating() const { return m_bFirmwareUpdating; }
    const CameraRetries& Retries() const { return m_retries; }
    const CameraProbeRunner& Probe() const { return m_probe; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

Q_SIGNALS:
    // A balloon with the string of id ("available", "not connected").
    void trayMessage(UINT stringId);
    // The countdown after "not connected" ran out: the icon goes and the dialog hides.
    void hideTimeout();
    // A firmware update took the camera: the icon goes until it is given back.
    void removeTrayIcon();

protected:
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void ReportPresence(BOOL present, BOOL force);
    void OnCameraLinkDown();
    void SetFirmwareUpdating(bool updating);
    void StartHideTimer();
    void KillHideTimer();

    ControllerSession& m_session;
    CameraProbeRunner m_probe;  // before the retries, which ask through it
    CameraRetries m_retries;
    const int m_nHideTimerMs;
    int m_nHideTimer = 0;
    int m_nPresencePollTimer = 0;
    int m_nPresencePollMs = 5000;
    BOOL m_bCameraPresent = 0;
    bool m_bFirmwareUpdating = false;
    bool m_bStopped = false;
};
