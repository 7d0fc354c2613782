#pragma once
// The hidden frame: the application's main window that is never shown. It owns the controller
// dialog, the tray icon and its menu, watches whether the camera is attached and relays the
// messages of the camera library and the controls to the controller dialog.
#include "app/CameraRetries.h"
#include "app/TrayIcon.h"
#include "camera/CameraProbeRunner.h"
#include "platform/WinMessage.h"
#include "ui/controller/ControllerDlg.h"
#include "ui/controller/TrayFrameOperations.h"

#include <QIcon>
#include <QMenu>
#include <QObject>

#include <functional>
#include <map>
#include <memory>

class QAction;

class CMainFrame final : public QObject, public CMessageTarget, public TrayFrameOperations
{
public:
    // The hide timer runs hideTimerMs (10 s) after a "not connected" report.
    explicit CMainFrame(std::unique_ptr<ITrayIcon> tray, int hideTimerMs = 10000, CameraRetryTiming retries = {});
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Creates the window (WM_CREATE): menu, icon, the controller dialog hidden, and the first
    // presence check. FALSE when the frame cannot be created.
    BOOL Create();
    // Destroys the window once: the controller dialog first (it saves its values and closes
    // the camera on its WM_DESTROY), then the tray icon goes. Called on WM_CLOSE.
    void DestroyWindow();
    bool IsWindow() const { return m_bCreated && !m_bDestroyed; }
    // Called after the window is destroyed (the application ends its message loop there).
    void SetOnDestroyed(std::function<void()> onDestroyed) { m_onDestroyed = std::move(onDestroyed); }

    // Operations other parts use.
    void ShowTrayMessage(UINT stringId) override;
    void UpdateTrayIcon(const QString& text);
    void DeleteTrayIcon() override;
    void CheckCameraPresence(BOOL force) override;
    void SetFirmwareUpdating(BOOL updating) override;

    CControllerDlg& ControllerDlg() { return m_dlgController; }
    QMenu& TrayMenu() { return m_menuTray; }
    QAction* MenuAction(UINT commandId) const;
    // Recomputes the enabled and checked states of the tray menu (also done before it opens).
    void UpdateMenuStates();
    // The id of the running hide timer; 0 when it is not running.
    int HideTimerId() const { return m_nHideTimer; }
    BOOL CameraPresent() const { return m_bCameraPresent; }
    // False when the desktop had no tray at start: hiding the dialog then ends the program.
    bool HasTray() const { return !m_bNoTray; }
    // A network camera is looked for every presencePollMs (5 s): nothing announces it. The
    // look runs off the interface thread; its answer comes back as a presence report.
    void SetPresencePollMs(int ms) { m_nPresencePollMs = ms; }
    int PresencePollTimerId() const { return m_nPresencePollTimer; }
    const CameraRetries& Retries() const { return m_retries; }
    const CameraProbeRunner& Probe() const { return m_probe; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    int OnCreate();
    void OnDestroy();
    void OnCommand(UINT commandId);
    void OnShowController();
    void OnTimer(WPARAM timerId);
    LRESULT OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);
    LRESULT OnCameraPresence(WPARAM attached);
    void OnCameraLinkDown();
    LRESULT OnDeviceChange(WPARAM event);
    LRESULT OnPowerBroadcast(WPARAM event);
    LRESULT OnTrayCreated();
    void ReportPresence(BOOL present, BOOL force);
    void StartHideTimer();
    void KillHideTimer();
    void BuildTrayMenu();
    void ShowTrayMenuAtCursor();

    CControllerDlg m_dlgController;
    std::unique_ptr<ITrayIcon> m_pTray;
    QMenu m_menuTray;
    std::map<UINT, QAction*> m_actions;
    QIcon m_hTrayIcon;
    int m_nHideTimer = 0;
    int m_nPresencePollTimer = 0;
    int m_nPresencePollMs = 5000;
    BOOL m_bCameraPresent = 0;
    CameraProbeRunner m_probe;  // before the retries, which ask through it
    CameraRetries m_retries;

    const int m_nHideTimerMs;
    bool m_bCreated = false;
    bool m_bDestroyed = false;
    bool m_bNoTray = false;
    bool m_bFirmwareUpdating = false;
    // The icon the frame means to show, kept while the desktop has no tray to show it in.
    bool m_bIconWanted = false;
    QString m_strTrayText;
    std::function<void()> m_onDestroyed;
};
