#pragma once
// The hidden frame: the application's main window that is never shown. It owns the
// controller session, the camera watch and the controller dialog, shows the tray icon with
// its menu and balloons, and relays the messages of the camera library and the controls.
#include "app/TrayIcon.h"
#include "controller/CameraWatch.h"
#include "controller/ControllerSession.h"
#include "controller/ControllerWindows.h"
#include "platform/WinMessage.h"
#include "ui/controller/ControllerDlg.h"

#include <QIcon>
#include <QMenu>
#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;

class CMainFrame final : public QObject, public CMessageTarget, public ControllerWindows
{
public:
    // The hide timer runs hideTimerMs (10 s) after a "not connected" report. profilePath and
    // clock go to the session (empty and null: the program's own).
    explicit CMainFrame(std::unique_ptr<ITrayIcon> tray, int hideTimerMs = 10000, CameraRetryTiming retries = {},
                        std::string profilePath = {}, CClock* clock = nullptr);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Creates the window (WM_CREATE): menu, icon, the controller dialog hidden, and the first
    // presence check. FALSE when the frame cannot be created.
    BOOL Create();
    // Destroys the window once: the controller dialog first (it ends the session, which
    // saves the values and closes the camera), then the tray icon goes. Called on WM_CLOSE.
    void DestroyWindow();
    bool IsWindow() const { return m_bCreated && !m_bDestroyed; }
    // Called after the window is destroyed (the application ends its message loop there).
    void SetOnDestroyed(std::function<void()> onDestroyed) { m_onDestroyed = std::move(onDestroyed); }

    // Operations other parts use.
    void ShowTrayMessage(UINT stringId);
    void UpdateTrayIcon(const QString& text);
    void DeleteTrayIcon();
    void CheckCameraPresence(BOOL force) { m_watch.CheckCameraPresence(force); }

    ControllerSession& Session() { return m_session; }
    CameraWatch& Watch() { return m_watch; }
    CControllerDlg& ControllerDlg() { return m_dlgController; }
    QMenu& TrayMenu() { return m_menuTray; }
    QAction* MenuAction(UINT commandId) const;
    // Recomputes the enabled and checked states of the tray menu (also done before it opens).
    void UpdateMenuStates();
    // False when the desktop had no tray at start: hiding the dialog then ends the program.
    bool HasTray() const { return !m_bNoTray; }

    // What the remote interfaces need of the windows.
    bool Busy() const override;
    void ShowController() override;
    bool HideController() override;
    void ShowVideo(bool on) override;
    int UpdateFirmwareFrom(const QString& path, QString* status) override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    int OnCreate();
    void OnDestroy();
    void OnCommand(UINT commandId);
    void OnShowController();
    LRESULT OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);
    LRESULT OnPowerBroadcast(WPARAM event);
    LRESULT OnTrayCreated();
    void OnHideTimeout();
    void BuildTrayMenu();
    void ShowTrayMenuAtCursor();

    ControllerSession m_session;
    CameraWatch m_watch;
    CControllerDlg m_dlgController;
    std::unique_ptr<ITrayIcon> m_pTray;
    QMenu m_menuTray;
    std::map<UINT, QAction*> m_actions;
    QIcon m_hTrayIcon;

    bool m_bCreated = false;
    bool m_bDestroyed = false;
    bool m_bNoTray = false;
    // The icon the frame means to show, kept while the desktop has no tray to show it in.
    bool m_bIconWanted = false;
    QString m_strTrayText;
    std::function<void()> m_onDestroyed;
};
