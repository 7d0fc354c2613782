#include "app/MainFrame.h"

#include "platform/WinMessages.h"
#include "camera/CameraConnectionApi.h"
#include "res/CameraText.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "ui/controller/AppIcon.h"

#include <QAction>
#include <QApplication>
#include <QLoggingCategory>
#include <QCursor>

#include <cstdio>

// Off unless asked for (QT_LOGGING_RULES="qvt.shell.debug=true"); the start-up benchmark
// reads the first balloon from it.
Q_LOGGING_CATEGORY(lcShell, "qvt.shell", QtWarningMsg)

namespace {

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

CMainFrame::CMainFrame(std::unique_ptr<ITrayIcon> tray, int hideTimerMs, CameraRetryTiming retries,
                       std::string profilePath, CClock* clock)
    : m_session(std::move(profilePath), clock),
      m_watch(m_session, hideTimerMs, retries),
      m_dlgController(m_session),
      m_pTray(std::move(tray))
{
    setObjectName(QStringLiteral("QVTVZCTRLWND"));
    connect(&m_session, &ControllerSession::trayMessage, this, [this](UINT id) { ShowTrayMessage(id); });
    connect(&m_watch, &CameraWatch::trayMessage, this, [this](UINT id) { ShowTrayMessage(id); });
    connect(&m_watch, &CameraWatch::removeTrayIcon, this, [this] { DeleteTrayIcon(); });
    connect(&m_watch, &CameraWatch::hideTimeout, this, [this] { OnHideTimeout(); });
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
        m_watch.OnTimer(static_cast<int>(wParam));
        return 0;
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(wParam);
    case WM_DEVICECHANGE:
        if (wParam == DBT_DEVNODES_CHANGED)
            m_watch.OnDeviceChange();
        return TRUE;
    case WM_TRAYNOTIFY:
        return OnTrayNotify(wParam, lParam);
    case WM_TRAY_CREATED:
        return OnTrayCreated();
    case WM_CAMERA_PRESENCE:
        return SendMessage(&m_watch, message, wParam, lParam);
    case WM_CAMERA_LINK:
    case WM_CAMERA_COMM_ERROR:
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
    m_watch.Stop();
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
    const bool open = m_session.CameraOpen();
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
    UpdateTrayIcon(LoadCameraText(stringId, QString::fromStdString(CamConnection().Name())));
}

void CMainFrame::UpdateTrayIcon(const QString& text)
{
    if (m_watch.FirmwareUpdating())
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

void CMainFrame::OnHideTimeout()
{
    DeleteTrayIcon();
    // Without a tray the dialog stays: it is the only sign of the program.
    if (!m_bNoTray)
        m_dlgController.hide();
}

LRESULT CMainFrame::OnPowerBroadcast(WPARAM event)
{
    switch (event) {
    case PBT_APMQUERYSUSPEND:
    case PBT_APMSUSPEND:
        DeleteTrayIcon();
        m_watch.OnSuspend();
        break;
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMEAUTOMATIC:
        m_watch.OnResume();
        break;
    default:
        break;
    }
    return TRUE;
}

bool CMainFrame::Busy() const
{
    return QApplication::activeModalWidget() != nullptr;
}

void CMainFrame::ShowController()
{
    if (m_dlgController.isVisible()) {
        m_dlgController.raise();
        m_dlgController.activateWindow();
    } else {
        OnShowController();
    }
}

bool CMainFrame::HideController()
{
    // Without a tray the closed window ends the program, which nobody asked for here.
    if (m_bNoTray)
        return false;
    m_dlgController.HideController();
    return true;
}

void CMainFrame::ShowVideo(bool on)
{
    if (m_dlgController.VideoWindowOpen() != on)
        m_dlgController.OnVideoWindow();
}

int CMainFrame::UpdateFirmwareFrom(const QString& path, QString* status)
{
    return m_dlgController.UpdateFirmwareFrom(path, status);
}
