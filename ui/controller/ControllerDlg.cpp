#include "ui/controller/ControllerDlg.h"

#include "camera/CameraConnectionApi.h"
#include "controller/ControllerSession.h"
#include "firmware/FirmwareUpdateProcedure.h"
#include "platform/WinMessages.h"
#include "camera/CameraConnectionApi.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "ui/controller/AboutDlg.h"
#include "ui/controller/ControllerHosts.h"
#include "ui/controller/ControllerMenu.h"
#include "ui/controller/DialogUnits.h"
#include "ui/controller/PageTabCtrl.h"
#include "ui/controller/SettingFileCommands.h"
#include "ui/controller/SettingsCommand.h"
#include "video/VideoCapture.h"
#include "video/VideoSourceChoice.h"
#include "video/VideoWindowToggle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace {
constexpr UINT kFirstDeviceName = 35029;  // 35029..35034, item data 0..5
constexpr UINT kMicArrayName = 36500;     // item data 6, after the speakerphones
constexpr int kDeviceKinds = 7;
constexpr UINT kAutoPageTemplate = 194;
constexpr UINT kManualPageTemplate = 195;
// Texts of the dialog template that a language catalogue may translate: 0 is the caption,
// kDeviceLabel the label without an id of its own.
constexpr UINT kDeviceLabel = 0xFFFF;
} // namespace

CControllerDlg::CControllerDlg(ControllerSession& session, QWidget* parent) : QDialog(parent), m_session(session)
{
    m_session.SetConfirm([](UINT id) { return AfxMessageBox(id, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK; });
    connect(&m_session, &ControllerSession::stateChanged, this, [this] { ShowState(); });
    connect(&m_session, &ControllerSession::cameraBorrowed, this, [this] { CloseVideoWindow(); });
}

CControllerDlg::~CControllerDlg()
{
    DestroyWindow();
    m_session.SetConfirm({});
}

BOOL CControllerDlg::Create()
{
    if (m_bCreated)
        return TRUE;
    setWindowTitle(LoadDialogString(IDD_CONTROLLER, 0, "QVT-VZ1 Controller"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Closing the dialog hides it; the program lives on in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);
    BuildControls();
    BuildMenu();
    for (int kind = 0; kind < kDeviceKinds; ++kind)
        m_cbDevice->addItem(LoadStringRes(kind < 6 ? kFirstDeviceName + kind : kMicArrayName), kind);
    m_autoPage.m_pSettings = &m_session.Settings();
    m_manualPage.m_pSettings = &m_session.Settings();
    m_tabPages->AddPage(0, &m_autoPage, LoadDialogString(kAutoPageTemplate, 0, "Auto"));
    m_tabPages->AddPage(1, &m_manualPage, LoadDialogString(kManualPageTemplate, 0, "Manual"));
    m_bCreated = true;
    m_session.Load();  // shows the state through stateChanged
    ShowState();
    return TRUE;
}

void CControllerDlg::BuildControls()
{
    m_pClient = new QWidget(this);
    m_stDevice = new QLabel(LoadDialogString(IDD_CONTROLLER, kDeviceLabel, "Device Name"), m_pClient);
    m_cbDevice = new QComboBox(m_pClient);
    m_stPosition = new QLabel(LoadDialogString(IDD_CONTROLLER, IDC_POSITION_LABEL, "VZ1 Position"), m_pClient);
    m_cbPosition = new QComboBox(m_pClient);
    m_btnReverse = new QCheckBox(LoadDialogString(IDD_CONTROLLER, IDC_REVERSE, "Reverse"), m_pClient);
    m_tabPages = new CPageTabCtrl(m_pClient);
    m_cbPosition->addItems({QStringLiteral("5cm"), QStringLiteral("25cm"), QStringLiteral("50cm"), QStringLiteral("1m")});

    m_stDevice->setBuddy(m_cbDevice);
    m_stPosition->setBuddy(m_cbPosition);
    m_cbDevice->setObjectName(QStringLiteral("m_cbDevice"));
    m_cbPosition->setObjectName(QStringLiteral("m_cbPosition"));
    m_btnReverse->setObjectName(QStringLiteral("m_btnReverse"));
    m_tabPages->setObjectName(QStringLiteral("m_tabPages"));

    // Placement of the dialog template, in dialog units of the dialog's font.
    const DialogUnits du(fontMetrics());
    const int comboHeight = m_cbDevice->sizeHint().height();
    m_stDevice->setGeometry(du.Rect(7, 7, 110, 9));
    m_cbDevice->setGeometry(QRect(du.X(7), du.Y(17), du.X(110), comboHeight));
    m_stPosition->setGeometry(du.Rect(7, 36, 110, 9));
    const int positionTop = du.Y(46);
    m_cbPosition->setGeometry(QRect(du.X(7), positionTop, du.X(50), comboHeight));
    const QSize reverse = m_btnReverse->sizeHint();
    m_btnReverse->setGeometry(QRect(du.X(66), positionTop + (comboHeight - reverse.height()) / 2, reverse.width(),
                                    reverse.height()));

    // Layout values in client pixels, from the placements above. The window frame is
    // outside the client area on this platform; the margin stands on both sides.
    m_nTabTop = m_cbPosition->geometry().bottom() + 1 + 8;
    m_nMargin = m_stPosition->geometry().left();
    m_nMinWidth = m_btnReverse->geometry().right() + 1 + m_nMargin;

    connect(m_cbDevice, &QComboBox::activated, this, [this] { OnSelchangeDevice(); });
    connect(m_cbPosition, &QComboBox::activated, this, [this] { OnSelchangePosition(); });
    connect(m_btnReverse, &QCheckBox::clicked, this, [this] { OnReverse(); });
    connect(m_tabPages, &CPageTabCtrl::selChanged, this, [this] { OnSelchangeTab(); });
}

void CControllerDlg::BuildMenu()
{
    m_pMenuBar = new QMenuBar(this);
    m_pMenu = std::make_unique<ControllerMenu>(m_pMenuBar, this);
    connect(m_pMenu->Menu(), &QMenu::aboutToShow, this, [this] { OnInitMenuPopup(); });
}

void CControllerDlg::ShowState()
{
    if (!m_bCreated || m_bDestroyed)
        return;
    m_cbDevice->setCurrentIndex(m_cbDevice->findData(m_session.DeviceKind()));
    m_cbPosition->setCurrentIndex(m_session.Position());
    m_btnReverse->setChecked(m_session.Reverse() != 0);
    if (m_tabPages->GetCurSel() != m_session.Page())
        m_tabPages->SelectPage(m_session.Page());
    m_autoPage.SetCameraName(QString::fromStdString(CamConnection().Name()));
    if (m_autoPage.GetDeviceKind() != m_session.DeviceKind())
        m_autoPage.SetDeviceKind(m_session.DeviceKind());
    const CameraCapabilities caps = CamCapabilities();
    m_autoPage.SetAxes(caps.panTilt, caps.zoom);
    m_manualPage.SetAxes(caps.panTilt, caps.zoom);
    if (m_autoPage.GetCameraMode() != m_session.CameraMode()) {
        m_autoPage.SetCameraMode(m_session.CameraMode());
        m_manualPage.SetCameraMode(m_session.CameraMode());
    }
    UpdateControlStates();
    RecalcLayout();
}

void CControllerDlg::UpdateControlStates()
{
    const ControlState state = m_session.Controls();
    m_cbDevice->setEnabled(rules::DeviceChoiceEnabled(state));
    m_cbPosition->setEnabled(rules::PlacementEnabled(state));
    m_btnReverse->setEnabled(rules::PlacementEnabled(state));
    m_stPosition->setEnabled(rules::PlacementEnabled(state));
}

void CControllerDlg::RecalcLayout()
{
    if (!m_bCreated)
        return;
    ControlPage& current = m_tabPages->GetCurSel() == kAutoPage ? static_cast<ControlPage&>(m_autoPage) : m_manualPage;
    current.UpdateControls();
    const QSize tab = m_tabPages->SizeForPage(current.GetPageSize());
    m_tabPages->setGeometry(QRect(QPoint(m_nMargin, m_nTabTop), tab));
    m_tabPages->ShowCurrentPage();

    const int width = std::max(tab.width() + 2 * m_nMargin, m_nMinWidth);
    const int height = m_nTabTop + tab.height() + m_nMargin;
    const int menuHeight = m_pMenuBar->sizeHint().height();
    m_pMenuBar->setGeometry(0, 0, width, menuHeight);
    m_pClient->setGeometry(0, menuHeight, width, height);
    // Only the size changes; the window stays where the user put it.
    setFixedSize(width, menuHeight + height);
}

void CControllerDlg::OnSelchangeDevice()
{
    const QVariant data = m_cbDevice->currentData();
    m_session.OnSelchangeDevice(data.isValid() ? data.toInt() : 0);
}

void CControllerDlg::OnSelchangePosition()
{
    m_session.OnSelchangePosition(m_cbPosition->currentIndex());
}

void CControllerDlg::OnReverse()
{
    m_session.OnReverse(m_btnReverse->isChecked() ? 1 : 0);
}

void CControllerDlg::OnSelchangeTab()
{
    m_session.OnSelchangeTab(m_tabPages->GetCurSel());
}

void CControllerDlg::OnViewButton1()
{
    m_session.OnViewButton(1);
}

void CControllerDlg::OnViewButton2()
{
    m_session.OnViewButton(2);
}

void CControllerDlg::OnViewButton3()
{
    m_session.OnViewButton(3);
}

BOOL CControllerDlg::GetAlwaysOnTop() const
{
    return m_session.AlwaysOnTop() ? TRUE : FALSE;
}

void CControllerDlg::SetTopMost(BOOL topMost, BOOL force)
{
    const bool on = force ? topMost == 1 : topMost != 0;
    if (!force && on == m_session.AlwaysOnTop())
        return;
    ApplyTopMost(on);
    m_session.SetAlwaysOnTop(on);
}

void CControllerDlg::ApplyTopMost(bool topMost)
{
    // Qt hides and shows the window to change the flag: that hide is no closing of the
    // dialog, so the video window stays open.
    m_bChangingTopMost = true;
    SetWindowTopMost(this, topMost);
    m_bChangingTopMost = false;
}

void CControllerDlg::OnCommand(UINT id)
{
    switch (id) {
    case ID_APP_ABOUT: OnAbout(); break;
    case ID_FILE_EXPORT: OnExport(); break;
    case ID_FILE_IMPORT: OnImport(); break;
    case ID_SETTINGS: OnSettings(); break;
    case ID_CLOSE_CONTROLLER: HideController(); break;
    case ID_ALWAYS_ON_TOP: SetTopMost(GetAlwaysOnTop() ? FALSE : TRUE, FALSE); break;
    case ID_FIRMWARE_UPDATE: OnFirmwareUpdate(); break;
    case ID_VIDEO_WINDOW: OnVideoWindow(); break;
    default: break;
    }
}

void CControllerDlg::OnInitMenuPopup()
{
    m_pMenu->UpdateStates(m_session, m_pVideoWnd != nullptr);
}

void CControllerDlg::OnAbout()
{
    CAboutDlg about(this);
    about.m_strVersion = CAboutDlg::FirmwareVersionLine();
    about.OnInitDialog();
    g_pAboutDlg = &about;
    about.exec();
    g_pAboutDlg = nullptr;
}

void CControllerDlg::OnExport()
{
    RunExport(this, m_session);
}

void CControllerDlg::OnImport()
{
    RunImport(this, m_session);
}

void CControllerDlg::OnSettings()
{
    RunSettingsCommand(this, m_session, [this](BOOL topMost) { SetTopMost(topMost, FALSE); });
}

void CControllerDlg::OnFirmwareUpdate()
{
    ControllerFirmwareHost host(m_session, this);
    RunFirmwareUpdate(host);
}

int CControllerDlg::UpdateFirmwareFrom(const QString& path, QString* status)
{
    ControllerFirmwareHost host(m_session, this);
    return RunFirmwareUpdateFrom(host, path, status);
}

void CControllerDlg::OnVideoWindow()
{
    ToggleVideoWindow(m_pVideoWnd, this,
                      m_makeVideoCapture ? m_makeVideoCapture() : MakeVideoCapture(m_session.Connection()));
}

void CControllerDlg::CloseVideoWindow()
{
    ::CloseVideoWindow(m_pVideoWnd);
}

void CControllerDlg::HideController()
{
    CloseVideoWindow();
    hide();
}

LRESULT CControllerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A destroyed window gets no more messages, like those still queued for it.
    if (m_bDestroyed)
        return 0;
    switch (message) {
    case WM_COMMAND: OnCommand(static_cast<UINT>(wParam & 0xFFFF)); return 0;
    case WM_CLOSE: HideController(); return 0;
    case WM_DESTROY: DestroyWindow(); return 0;
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_POWERBROADCAST: return OnPowerBroadcast(wParam);
    default:
        // The camera library's, the controls' and the worker's messages are the session's.
        return m_session.WindowProc(message, wParam, lParam);
    }
}

bool CControllerDlg::event(QEvent* e)
{
    if (DispatchWinMessage(e, this))
        return true;
    return QDialog::event(e);
}

void CControllerDlg::keyPressEvent(QKeyEvent* e)
{
    // Neither Enter nor Escape closes this modeless dialog.
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
        e->accept();
    else
        QDialog::keyPressEvent(e);
}

void CControllerDlg::reject()
{
    // Reached by Escape through the dialog's own handling; closing is Close's business.
}

void CControllerDlg::closeEvent(QCloseEvent* e)
{
    HideController();
    e->accept();
}

void CControllerDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    RecalcLayout();
    // A top-most controller must not cover the About box opened from the tray.
    if (g_pAboutDlg)
        SetWindowTopMost(g_pAboutDlg, true);
}

void CControllerDlg::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    // Shown again, a dialog is centred anew unless it was placed by the program; where the
    // user dragged it counts as placed, so it comes back there.
    setAttribute(Qt::WA_Moved);
    if (!m_bChangingTopMost)
        CloseVideoWindow();
    RecalcLayout();
}

void CControllerDlg::DestroyWindow()
{
    if (m_bDestroyed || !m_bCreated)
        return;
    m_bDestroyed = true;
    CloseVideoWindow();
    m_session.Shutdown();
}

BOOL CControllerDlg::OnQueryEndSession()
{
    CloseVideoWindow();
    m_session.OnQueryEndSession();
    return TRUE;
}

BOOL CControllerDlg::OnPowerBroadcast(WPARAM event)
{
    if (event == PBT_APMQUERYSUSPEND)
        CloseVideoWindow();
    return TRUE;
}

QMenu* CControllerDlg::FileMenu() const
{
    return m_pMenu->Menu();
}
