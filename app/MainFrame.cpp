#include "app/MainFrame.h"

#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "ui/controller/AppIcon.h"

#include <QAction>
#include <QLoggingCategory>
#include <QCursor>
#include <QTimerEvent>

#include <cstdio>

// Off unless asked for (QT_LOGGING_RULES="qvt.shell.debug=true"); the start-up benchmark
// reads the first balloon from it.
Q_LOGGING_CATEGORY(lcShell, "qvt.shell", QtWarningMsg)

namespace {

constexpr WPARAM kTrayIconId = 1;

// Cuts text to at most n characters without splitting a character that takes two code units.
QString CutText(const QString& text, qsizetype n)
{
    if (text.size() <= n)
        return text;
    qsizetype end = n;
    if (end > 0 && text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}

} // namespace

CMainFrame::CMainFrame(std::unique_ptr<ITrayIcon> tray, int hideTimerMs, CameraRetryTiming retries)
    : m_pTray(std::move(tray)),
      // Whether the link starts, as for the open that follows: a camera need not tell its version.
      m_probe([](const CameraConnection& connection) { return CamProbeOnOwnLink(connection).answered; }),
      m_retries(retries, m_probe),
      m_nHideTimerMs(hideTimerMs)
{
    setObjectName(QStringLiteral("QVTVZCTRLWND"));
}

CMainFrame::~CMainFrame()
{
    DestroyWindow();
}

BOOL CMainFrame::Create()
{
    if (m_bCreated)
        return FALSE;
    m_bCreated = true;
    return WindowProc(WM_CREATE, 0, 0) == 0 ? TRUE : FALSE;
}

void CMainFrame::DestroyWindow()
{
    if (!m_bCreated || m_bDestroyed)
        return;
    m_bDestroyed = true;
    // The owned dialog goes first: its WM_DESTROY saves the values and closes the camera.
    SendMessage(&m_dlgController, WM_DESTROY, 0, 0);
    m_dlgController.hide();
    WindowProc(WM_DESTROY, 0, 0);
    if (m_onDestroyed)
        m_onDestroyed();
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A destroyed window gets no more messages, like those still queued for it.
    if (m_bDestroyed && message != WM_DESTROY)
        return 0;
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_COMMAND:
        OnCommand(static_cast<UINT>(wParam & 0xFFFF));
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(wParam);
    case WM_DEVICECHANGE:
        return OnDeviceChange(wParam);
    case WM_TRAYNOTIFY:
        return OnTrayNotify(wParam, lParam);
    case WM_TRAY_CREATED:
        return OnTrayCreated();
    case WM_CAMERA_PRESENCE:
        return OnCameraPresence(wParam);
    case WM_CAMERA_LINK:
    case WM_CAMERA_COMM_ERROR: {
        const LRESULT result = SendMessage(&m_dlgController, message, wParam, lParam);
        if (message == WM_CAMERA_COMM_ERROR || wParam == 0)
            OnCameraLinkDown();
        return result;
    }
    case WM_CAMERA_MODE:
    case WM_PAD_BUTTON:
    case WM_SELECT_DIRECTION:
    case WM_TRACKING_ENABLE:
        // Sent, not posted: the dialog's handler has finished when this returns.
        return SendMessage(&m_dlgController, message, wParam, lParam);
    default:
        return 0;
    }
}

bool CMainFrame::event(QEvent* e)
{
    if (DispatchWinMessage(e, this))
        return true;
    return QObject::event(e);
}

void CMainFrame::timerEvent(QTimerEvent* e)
{
    WindowProc(WM_TIMER, static_cast<WPARAM>(e->timerId()), 0);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e)
{
    // Without a tray the dialog is the only way to the program: hiding it ends the program,
    // or it would stay resident with no way back and block every new start.
    if (m_bNoTray && watched == &m_dlgController && e->type() == QEvent::Hide && IsWindow())
        PostMessage(this, WM_CLOSE, 0, 0);
    return QObject::eventFilter(watched, e);
}

int CMainFrame::OnCreate()
{
    BuildTrayMenu();
    m_hTrayIcon = LoadAppIcon();
    m_pTray->SetContextMenu(&m_menuTray);
    m_pTray->SetNotifyTarget(this);
    m_dlgController.Create();
    if (!m_pTray->IsAvailable()) {
        m_bNoTray = true;
        std::fputs("qvt-vz1-controller: the desktop has no system tray; showing the controller window instead.\n",
                    stderr);
        OnShowController();
        m_dlgController.installEventFilter(this);
    }
    CheckCameraPresence(TRUE);
    return 0;
}

void CMainFrame::OnDestroy()
{
    m_probe.Cancel();
    m_retries.Stop();
    KillHideTimer();
    DeleteTrayIcon();
}

void CMainFrame::BuildTrayMenu()
{
    m_menuTray.setTitle(LoadMenuString(IDR_TRAY_MENU, 0));
    auto add = [this](UINT id) {
        QAction* action = m_menuTray.addAction(LoadMenuString(IDR_TRAY_MENU, id));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { WindowProc(WM_COMMAND, id, 0); });
        m_actions[id] = action;
        return action;
    };
    add(ID_SHOW_CONTROLLER);
    add(ID_ALWAYS_ON_TOP)->setCheckable(true);
    m_menuTray.addSeparator();
    add(ID_APP_ABOUT);
    add(ID_APP_EXIT);
    connect(&m_menuTray, &QMenu::aboutToShow, this, &CMainFrame::UpdateMenuStates);
}

QAction* CMainFrame::MenuAction(UINT commandId) const
{
    const auto it = m_actions.find(commandId);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::UpdateMenuStates()
{
    const bool open = CamIsOpen() != 0;
    if (QAction* a = MenuAction(ID_SHOW_CONTROLLER))
        a->setEnabled(!m_dlgController.isVisible());
    if (QAction* a = MenuAction(ID_ALWAYS_ON_TOP)) {
        a->setEnabled(open);
        a->setChecked(m_dlgController.GetAlwaysOnTop() != 0);
    }
    if (QAction* a = MenuAction(ID_APP_ABOUT))
        a->setEnabled(open);
    if (QAction* a = MenuAction(ID_APP_EXIT))
        a->setEnabled(true);
}

void CMainFrame::OnCommand(UINT commandId)
{
    switch (commandId) {
    case ID_SETTINGS:
    case ID_ALWAYS_ON_TOP:
    case ID_APP_ABOUT:
        // Posted: the dialog runs it after the tray menu has closed.
        PostMessage(&m_dlgController, WM_COMMAND, commandId, 0);
        break;
    case ID_SHOW_CONTROLLER:
        OnShowController();
        break;
    case ID_APP_EXIT:
        WindowProc(WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void CMainFrame::OnShowController()
{
    m_dlgController.SetTopMost(m_dlgController.GetAlwaysOnTop(), TRUE);
    m_dlgController.show();
    m_dlgController.raise();
    m_dlgController.activateWindow();
}

LRESULT CMainFrame::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != kTrayIconId)
        return 0;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        OnShowController();
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        ShowTrayMenuAtCursor();
        PostMessage(this, WM_NULL, 0, 0);
    }
    return 0;
}

void CMainFrame::ShowTrayMenuAtCursor()
{
    // Right- and bottom-aligned at the cursor, as a menu that opens from a tray in a corner.
    UpdateMenuStates();
    const QPoint cursor = QCursor::pos();
    const QSize size = m_menuTray.sizeHint();
    m_menuTray.popup(cursor - QPoint(size.width(), size.height()));
}

void CMainFrame::ShowTrayMessage(UINT stringId)
{
    UpdateTrayIcon(LoadStringRes(stringId));
}

void CMainFrame::UpdateTrayIcon(const QString& text)
{
    if (m_bFirmwareUpdating)
        return;
    m_bIconWanted = true;
    m_strTrayText = text;
    TrayIconData data;
    data.icon = m_hTrayIcon;
    data.tip = CutText(LoadStringRes(102), 127);
    data.infoTitle = CutText(LoadStringRes(102), 63);
    data.info = CutText(text, 255);
    data.infoTimeoutMs = 10000;
    qCDebug(lcShell, "tray balloon: %s", qUtf8Printable(data.info));
    if (!m_pTray->Modify(data))
        m_pTray->Add(data);
}

void CMainFrame::DeleteTrayIcon()
{
    m_bIconWanted = false;
    m_pTray->Delete();
}

LRESULT CMainFrame::OnTrayCreated()
{
    // A panel that started after the program: from now on all is as if it had been there
    // from the start. The window that stood in for the icon goes; the icon shows the
    // state its last balloon told.
    if (m_bNoTray) {
        m_bNoTray = false;
        m_dlgController.removeEventFilter(this);
        m_dlgController.hide();
    }
    if (m_bIconWanted && !m_pTray->IsShown())
        UpdateTrayIcon(m_strTrayText);
    return 0;
}

void CMainFrame::SetFirmwareUpdating(BOOL updating)
{
    m_bFirmwareUpdating = updating != 0;
    // A countdown that ran out meanwhile would hide the dialog behind the update dialog,
    // and a try to open the camera would take its port from the update.
    if (m_bFirmwareUpdating) {
        KillHideTimer();
        m_probe.Cancel();
        m_retries.Stop();
    }
}

void CMainFrame::CheckCameraPresence(BOOL force)
{
    if (m_bFirmwareUpdating)
        return;
    // A network camera: asked again every few seconds, since no device event tells of it.
    // While its link is open, CamIsPresent answers from the link's keep-alive.
    const bool poll = CamPollsPresence();
    if (poll && m_nPresencePollTimer == 0)
        m_nPresencePollTimer = startTimer(m_nPresencePollMs);
    else if (!poll && m_nPresencePollTimer != 0) {
        killTimer(m_nPresencePollTimer);
        m_nPresencePollTimer = 0;
    }
    if (poll && !CamIsOpen()) {
        // Asking an absent camera waits for its time-out: done off this thread, the answer
        // comes back here. An open link answers at once from its keep-alive.
        m_probe.Ask([this, force](bool answers) {
            if (!m_bFirmwareUpdating && IsWindow())
                ReportPresence(answers || CamIsOpen() ? TRUE : FALSE, force);
        });
        return;
    }
    ReportPresence(CamIsPresent(), force);
}

void CMainFrame::ReportPresence(BOOL present, BOOL force)
{
    if (present == m_bCameraPresent && !force)
        return;
    PostMessage(this, WM_CAMERA_PRESENCE, present ? 1 : 0, 0);
    m_bCameraPresent = present;
}

LRESULT CMainFrame::OnCameraPresence(WPARAM attached)
{
    // Reports queued before the update started are as stale as those it would cause.
    if (m_bFirmwareUpdating)
        return 0;
    KillHideTimer();
    m_retries.Stop();
    if (attached == 1) {
        ShowTrayMessage(35015);
        // The port may follow the USB device by a moment: a few seconds' grace before
        // "not connected".
        m_retries.WaitForPort([this] { return m_dlgController.FindCameraPort() != 0; },
                              [this] {
                                  m_dlgController.OpenCamera();
                                  m_dlgController.StartTracking();
                              },
                              [this] {
                                  ShowTrayMessage(35016);
                                  StartHideTimer();
                              });
        return 0;
    }
    ShowTrayMessage(35016);
    m_dlgController.StopTracking();
    m_dlgController.CloseCamera();
    StartHideTimer();
    return 0;
}

void CMainFrame::OnCameraLinkDown()
{
    // The dialog has closed the camera. While it stays attached, keep trying; when it
    // answers, it comes back as on a plug-in, balloon included. Not while an update owns
    // the camera: its end checks the presence anyway.
    if (!m_bFirmwareUpdating)
        m_retries.StartReopening([this] { CheckCameraPresence(TRUE); });
}

void CMainFrame::StartHideTimer()
{
    m_nHideTimer = startTimer(m_nHideTimerMs);
}

void CMainFrame::KillHideTimer()
{
    if (m_nHideTimer != 0) {
        killTimer(m_nHideTimer);
        m_nHideTimer = 0;
    }
}

void CMainFrame::OnTimer(WPARAM timerId)
{
    if (m_nPresencePollTimer != 0 && timerId == static_cast<WPARAM>(m_nPresencePollTimer)) {
        CheckCameraPresence(FALSE);
        return;
    }
    if (m_nHideTimer == 0 || timerId != static_cast<WPARAM>(m_nHideTimer))
        return;
    KillHideTimer();
    DeleteTrayIcon();
    // Without a tray the dialog stays: it is the only sign of the program.
    if (!m_bNoTray)
        m_dlgController.hide();
}

LRESULT CMainFrame::OnDeviceChange(WPARAM event)
{
    if (event == DBT_DEVNODES_CHANGED)
        CheckCameraPresence(FALSE);
    return TRUE;
}

LRESULT CMainFrame::OnPowerBroadcast(WPARAM event)
{
    switch (event) {
    case PBT_APMQUERYSUSPEND:
    case PBT_APMSUSPEND:
        m_retries.Stop();
        DeleteTrayIcon();
        m_dlgController.StopTracking();
        m_dlgController.SaveCameraPosition();
        m_dlgController.CloseCamera();
        break;
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMEAUTOMATIC:
        CheckCameraPresence(TRUE);
        break;
    default:
        break;
    }
    return TRUE;
}
