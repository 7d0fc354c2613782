#include "ui/controller/ControllerDlg.h"

#include "camera/CameraConnectionApi.h"
#include "camera/CameraConnectionProfile.h"
#include "camera/QvtVz1Api.h"
#include "firmware/FirmwareUpdateDlg.h"
#include "firmware/FirmwareUpdateProcedure.h"
#include "firmware/NamedFileFirmwareServices.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/ProfileFile.h"
#include "platform/WinMessages.h"
#include "res/CameraStrings.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "settings/SettingRanges.h"
#include "settings/SettingsDlg.h"
#include "tracking/TrackingState.h"
#include "tracking/micarray/MicArraySetup.h"
#include "ui/controller/AboutDlg.h"
#include "ui/controller/ControllerHosts.h"
#include "ui/controller/ControllerValues.h"
#include "ui/controller/DialogUnits.h"
#include "ui/controller/PageTabCtrl.h"
#include "ui/controller/TrayFrameOperations.h"
#include "video/VideoCapture.h"
#include "video/VideoWindowToggle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>

#include <cstring>

namespace {
constexpr UINT kReplacePresetsQuestion = 35014;
constexpr UINT kFirstDeviceName = 35029;  // 35029..35034, item data 0..5
constexpr UINT kMicArrayName = 36500;     // item data 6, after the speakerphones
constexpr int kDeviceKinds = 7;
constexpr UINT kAutoPageTemplate = 194;
constexpr UINT kManualPageTemplate = 195;
// Texts of the dialog template that a language catalogue may translate: 0 is the caption,
// kDeviceLabel the label without an id of its own.
constexpr UINT kDeviceLabel = 0xFFFF;
} // namespace

CControllerDlg::CControllerDlg(QWidget* parent, std::string profilePath, CClock* clock)
    : QDialog(parent),
      m_camera(m_settings, m_bModified, *this),
      m_strProfilePath(std::move(profilePath)),
      m_pClock(clock ? clock : &SystemClock())
{
    if (m_strProfilePath.empty())
        m_strProfilePath = ApplicationProfilePath();
}

CControllerDlg::~CControllerDlg()
{
    DestroyWindow();
}

// --- Creation ---------------------------------------------------------------------------

BOOL CControllerDlg::Create()
{
    if (m_bCreated)
        return TRUE;
    m_bCreated = true;
    setWindowTitle(LoadDialogString(IDD_CONTROLLER, 0, "QVT-VZ1 Controller"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Closing the dialog hides it; the program lives on in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);
    BuildControls();
    BuildMenu();

    // The dialog's values, then the settings record, from one reading of the profile.
    const ProfileFile profile(m_strProfilePath);
    ControllerValues values;
    values.Read(profile);
    // A hand-edited kind or placement that has no entry in the lists is taken as the first.
    m_nDeviceKind = IsValidDeviceKind(values.nDeviceKind) ? values.nDeviceKind : 0;
    m_nPosition = ClampDistanceIndex(values.nPosition);
    m_bReverse = values.bReverse;
    m_bAlwaysOnTop = values.bAlwaysOnTop;
    m_bModified = values.bModified;
    m_strFirmwareURL = QString::fromStdString(values.strFirmwareUrl);
    m_settings.ReadProfile(profile);
    // Which camera: before the first presence check, which the frame makes after this.
    m_cameraConnection = ReadCameraConnection(profile);
    CamConfigure(m_cameraConnection);

    if (m_nDeviceKind == 0) {
        m_settings.m_bTracking = 0;
        m_settings.m_nUpDirection = 6;
        m_settings.m_nFrontDirection = 6;
    }

    for (int kind = 0; kind < kDeviceKinds; ++kind)
        m_cbDevice->addItem(LoadStringRes(kind < 6 ? kFirstDeviceName + kind : kMicArrayName), kind);
    SelectDeviceEntry(m_nDeviceKind);

    m_autoPage.m_pSettings = &m_settings;
    m_manualPage.m_pSettings = &m_settings;
    m_tabPages->AddPage(0, &m_autoPage, LoadDialogString(kAutoPageTemplate, 0, "Auto"));
    m_tabPages->AddPage(1, &m_manualPage, LoadDialogString(kManualPageTemplate, 0, "Manual"));
    m_tabPages->SelectPage(m_settings.m_nMode);

    UpdateData(FALSE);
    OnSelchangeDevice();
    UpdateControlStates();
    FindCameraPort();
    RecalcLayout();
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

    // Layout values in client pixels, from the placements above.
    m_nTabTop = m_cbPosition->geometry().bottom() + 1 + 8;
    m_nMargin = m_stPosition->geometry().left();
    m_nReverseRight = m_btnReverse->geometry().right() + 1;
    // The window frame is outside the client area on this platform; the margin stands on
    // both sides.
    m_nMinWidth = m_nReverseRight + m_nMargin;

    connect(m_cbDevice, &QComboBox::activated, this, [this] { OnSelchangeDevice(); });
    connect(m_cbPosition, &QComboBox::activated, this, [this] { OnSelchangePosition(); });
    connect(m_btnReverse, &QCheckBox::clicked, this, [this] { OnReverse(); });
    connect(m_tabPages, &CPageTabCtrl::selChanged, this, [this] { OnSelchangeTab(); });
}

void CControllerDlg::BuildMenu()
{
    m_pMenuBar = new QMenuBar(this);
    m_pFileMenu = m_pMenuBar->addMenu(LoadMenuString(IDR_CONTROLLER_MENU, 0));
    m_pFileMenu->setToolTipsVisible(true);  // a greyed item says why
    auto add = [this](UINT id) {
        QAction* a = m_pFileMenu->addAction(LoadMenuString(IDR_CONTROLLER_MENU, id));
        a->setData(id);
        // Posted, as a menu command is, so that the menu has closed when the handler runs.
        connect(a, &QAction::triggered, this, [this, id] { PostMessage(this, WM_COMMAND, id, 0); });
        return a;
    };
    add(ID_FILE_EXPORT);
    add(ID_FILE_IMPORT);
    m_pFileMenu->addSeparator();
    add(ID_VIDEO_WINDOW)->setCheckable(true);
    add(ID_SETTINGS);
    add(ID_FIRMWARE_UPDATE);
    m_pFileMenu->addSeparator();
    add(ID_APP_ABOUT);
    add(ID_CLOSE_CONTROLLER);
    connect(m_pFileMenu, &QMenu::aboutToShow, this, [this] { OnInitMenuPopup(); });
}

void CControllerDlg::SelectDeviceEntry(int kind)
{
    m_cbDevice->setCurrentIndex(m_cbDevice->findData(kind));
}

bool CControllerDlg::IsAutoTabSelected() const
{
    return m_tabPages->GetCurSel() == kAutoPage;
}

void CControllerDlg::UpdateData(BOOL bSave)
{
    if (bSave) {
        m_bReverse = m_btnReverse->isChecked() ? 1 : 0;
        m_nPosition = m_cbPosition->currentIndex();
    } else {
        m_btnReverse->setChecked(m_bReverse != 0);
        m_cbPosition->setCurrentIndex(m_nPosition);
    }
}

// --- Layout and control states ----------------------------------------------------------

void CControllerDlg::UpdateControlStates()
{
    const bool choosing = IsAutoTabSelected() && m_settings.m_bTracking == 0;
    m_cbDevice->setEnabled(choosing);
    m_cbPosition->setEnabled(choosing && m_nDeviceKind != 0);
    m_btnReverse->setEnabled(choosing && m_nDeviceKind != 0);
    m_stPosition->setEnabled(m_cbPosition->isEnabled());
}

void CControllerDlg::RecalcLayout()
{
    if (!m_bCreated)
        return;
    QSize page;
    if (IsAutoTabSelected()) {
        m_autoPage.UpdateControls();
        page = m_autoPage.GetPageSize();
    } else {
        m_manualPage.UpdateControls();
        page = m_manualPage.GetPageSize();
    }
    const QSize tab = m_tabPages->SizeForPage(page);
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

// --- Camera side ------------------------------------------------------------------------

int CControllerDlg::FindCameraPort()
{
    char buf[20];
    std::memset(buf, 0, sizeof buf);
    const int found = CamFindPort(buf);
    if (found == 1)
        m_strCameraPort = QString::fromLocal8Bit(buf, static_cast<int>(strnlen(buf, sizeof buf)));
    return found;
}

int CControllerDlg::OpenCamera()
{
    return m_camera.OpenCamera(m_strCameraPort.toLocal8Bit().toStdString(), AfxGetMainWnd());
}

void CControllerDlg::CloseCamera()
{
    m_camera.CloseCamera();
}

void CControllerDlg::SaveCameraPosition()
{
    m_camera.SaveCameraPosition();
}

void CControllerDlg::ApplyCameraPosition(BOOL bForce)
{
    m_camera.ApplyCameraPosition(bForce);
}

void CControllerDlg::CameraModeChanged(int mode)
{
    m_autoPage.SetCameraMode(mode);
    m_manualPage.SetCameraMode(mode);
}

void CControllerDlg::ShowTrayMessage(UINT stringId)
{
    if (TrayMessageTarget* frame = MainFrameTrayMessages())
        frame->ShowTrayMessage(stringId);
}

bool CControllerDlg::LoadFactoryFrontPreset(int direction)
{
    if (m_nDeviceKind == 0)
        return false;
    m_autoPage.LoadDefaultPresets(&m_settings, direction, m_nPosition, m_bReverse);
    return true;
}

// --- Tracking ---------------------------------------------------------------------------

LRESULT CControllerDlg::OnSelectDirection(WPARAM direction)
{
    const int mode = m_camera.m_nCameraMode;
    if (!IsAutoTabSelected() || (mode != kCameraUpside && mode != kCameraFront) || direction > 6)
        return 0;
    // What the user steered to belongs to the direction chosen so far.
    SaveCameraPosition();
    if (mode == kCameraUpside)
        m_settings.m_nUpDirection = static_cast<int>(direction);
    else
        m_settings.m_nFrontDirection = static_cast<int>(direction);
    ApplyCameraPosition(FALSE);
    m_autoPage.UpdateControls();
    RecalcLayout();
    return 0;
}

LRESULT CControllerDlg::OnTrackingEnable(WPARAM on)
{
    SaveCameraPosition();
    m_settings.m_bTracking = on == 1 ? 1 : 0;
    if (m_settings.m_bTracking) {
        StartTracking();
    } else {
        StopTracking();
        ApplyCameraPosition(FALSE);
    }
    UpdateControlStates();
    m_autoPage.UpdateControls();
    RecalcLayout();
    return 0;
}

void CControllerDlg::ViewButton(int button)
{
    m_camera.OnViewButton(button);
    if (IsAutoTabSelected())
        m_autoPage.UpdateControls();
    else
        m_manualPage.UpdateControls();
    RecalcLayout();
}

void CControllerDlg::OnViewButton1()
{
    ViewButton(1);
}

void CControllerDlg::OnViewButton2()
{
    ViewButton(2);
}

void CControllerDlg::OnViewButton3()
{
    ViewButton(3);
}

int CControllerDlg::StartTracking()
{
    if (m_trackingWorker.IsRunning() || m_nDeviceKind == 0 || m_settings.m_nMode != kAutoPage
        || m_settings.m_bTracking != 1)
        return 0;
    // The array's device, geometry and direction 0, as the settings dialog last stored them.
    TrackingContext context{{}, &m_micArrayReadout};
    if (m_nDeviceKind == kTrackingMicArray)
        context.micArray.Read(ProfileFile(m_strProfilePath));
    return m_trackingWorker.Start(m_nDeviceKind, this, *m_pClock, context) ? 1 : 0;
}

void CControllerDlg::StopTracking()
{
    m_trackingWorker.Stop();
}

int CControllerDlg::ReloadFactoryPresets(int position, int reverse)
{
    if (m_nDeviceKind == 0)
        return 1;
    if (m_bModified == 1 && AfxMessageBox(kReplacePresetsQuestion, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return 0;
    m_autoPage.LoadDefaultPresets(&m_settings, 255, position, reverse);
    m_bModified = 0;
    if (m_camera.m_nCameraMode == kCameraUpside || m_camera.m_nCameraMode == kCameraFront)
        ApplyCameraPosition(FALSE);
    return 1;
}

// --- Choices above the tabs -------------------------------------------------------------

void CControllerDlg::OnSelchangeDevice()
{
    if (m_nDeviceKind != 0) {
        SaveCameraPosition();
        StopTracking();
    }
    const int oldKind = m_nDeviceKind;
    const QVariant data = m_cbDevice->currentData();
    m_nDeviceKind = data.isValid() ? data.toInt() : 0;

    if (m_nDeviceKind != oldKind) {
        m_autoPage.SetDeviceKind(m_nDeviceKind);
        if (ReloadFactoryPresets(m_nPosition, m_bReverse) == 1) {
            if (m_nDeviceKind != 0) {
                m_cbPosition->setEnabled(true);
                m_btnReverse->setEnabled(true);
                m_stPosition->setEnabled(true);
                StartTracking();
            } else {
                m_settings.m_nUpDirection = 6;
                m_settings.m_nFrontDirection = 6;
                m_settings.m_bTracking = 0;
                m_cbPosition->setEnabled(false);
                m_btnReverse->setEnabled(false);
                m_stPosition->setEnabled(false);
            }
            m_autoPage.SetDeviceKind(m_nDeviceKind);
            RecalcLayout();
            return;
        }
    }
    m_nDeviceKind = oldKind;
    SelectDeviceEntry(oldKind);
    m_autoPage.SetDeviceKind(oldKind);
}

void CControllerDlg::OnSelchangePosition()
{
    const int oldPosition = m_nPosition;
    UpdateData(TRUE);
    if (m_nPosition != oldPosition && ReloadFactoryPresets(m_nPosition, m_bReverse) == 1)
        return;
    m_nPosition = oldPosition;
    UpdateData(FALSE);
}

void CControllerDlg::OnReverse()
{
    const int oldReverse = m_bReverse;
    UpdateData(TRUE);
    if (m_bReverse != oldReverse && ReloadFactoryPresets(m_nPosition, m_bReverse) == 1)
        return;
    m_bReverse = oldReverse;
    UpdateData(FALSE);
}

void CControllerDlg::OnSelchangeTab()
{
    UpdateData(TRUE);
    const int newPage = m_tabPages->GetCurSel();
    if (m_settings.m_nMode == kAutoPage && m_settings.m_bTracking == 1)
        StopTracking();
    SaveCameraPosition();
    m_settings.m_nMode = newPage;
    m_tabPages->ShowCurrentPage();
    UpdateControlStates();
    RecalcLayout();
    if (newPage == kAutoPage && m_settings.m_bTracking == 1)
        StartTracking();
    ApplyCameraPosition(FALSE);
}

// --- Top-most ---------------------------------------------------------------------------

void CControllerDlg::SetTopMost(BOOL topMost, BOOL force)
{
    if (force) {
        m_bAlwaysOnTop = topMost == 1 ? 1 : 0;
        ApplyTopMost(m_bAlwaysOnTop == 1);
    } else if (topMost == 0) {
        if (m_bAlwaysOnTop == 1) {
            ApplyTopMost(false);
            m_bAlwaysOnTop = 0;
        }
    } else if (m_bAlwaysOnTop == 0) {
        ApplyTopMost(true);
        m_bAlwaysOnTop = 1;
    }
}

void CControllerDlg::ApplyTopMost(bool topMost)
{
    // Qt hides and shows the window to change the flag: that hide is no closing of the
    // dialog, so the video window stays open.
    m_bChangingTopMost = true;
    SetWindowTopMost(this, topMost);
    m_bChangingTopMost = false;
}

// --- Commands and menu ------------------------------------------------------------------

void CControllerDlg::OnCommand(UINT id)
{
    switch (id) {
    case ID_APP_ABOUT: OnAbout(); break;
    case ID_FILE_EXPORT: OnExport(); break;
    case ID_FILE_IMPORT: OnImport(); break;
    case ID_SETTINGS: OnSettings(); break;
    case ID_CLOSE_CONTROLLER: HideController(); break;
    case ID_ALWAYS_ON_TOP: SetTopMost(m_bAlwaysOnTop ? FALSE : TRUE, FALSE); break;
    case ID_FIRMWARE_UPDATE: OnFirmwareUpdate(); break;
    case ID_VIDEO_WINDOW: OnVideoWindow(); break;
    default: break;
    }
}

void CControllerDlg::OnInitMenuPopup()
{
    const bool cameraOpen = CamIsOpen() != 0;
    for (QAction* a : m_pFileMenu->actions()) {
        if (a->isSeparator())
            continue;
        switch (a->data().toUInt()) {
        case ID_FILE_EXPORT:
        case ID_FILE_IMPORT: a->setEnabled(m_settings.m_bTracking == 0); break;
        case ID_APP_ABOUT: a->setEnabled(cameraOpen); break;
        case ID_FIRMWARE_UPDATE: {
            // Only the QVT-VZ1 takes a firmware image; the tooltip tells the user why not.
            const bool takesFirmware = CamCapabilities().firmware;
            a->setEnabled(cameraOpen && takesFirmware);
            a->setToolTip(takesFirmware ? QString() : LoadStringRes(kStrNoFirmwareUpdate));
            break;
        }
        case ID_VIDEO_WINDOW: a->setChecked(m_pVideoWnd != nullptr); break;
        default: a->setEnabled(true); break;
        }
    }
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
    ControllerSettingFileHost host(*this);
    RunExport(host, ControllerSetup{m_nDeviceKind, m_nPosition, m_bReverse, m_settings, m_bModified});
}

void CControllerDlg::OnImport()
{
    ControllerSettingFileHost host(*this);
    RunImport(host, ControllerSetup{m_nDeviceKind, m_nPosition, m_bReverse, m_settings, m_bModified});
}

SettingFileOutcome CControllerDlg::ExportSettingsTo(const QString& path)
{
    ControllerSettingFileHost host(*this);
    return ExportSetupTo(host, ControllerSetup{m_nDeviceKind, m_nPosition, m_bReverse, m_settings, m_bModified}, path);
}

SettingFileOutcome CControllerDlg::ImportSettingsFrom(const QString& path)
{
    ControllerSettingFileHost host(*this);
    return ImportSetupFrom(host, ControllerSetup{m_nDeviceKind, m_nPosition, m_bReverse, m_settings, m_bModified},
                           path);
}

void CControllerDlg::OnSettings()
{
    AppSettings current{m_bAlwaysOnTop, m_strFirmwareURL, m_camera.m_nVideoFormat, m_cameraConnection};
    ProfileFile profile(m_strProfilePath);
    MicArraySetup micArray;
    micArray.Read(profile);
    const MicArraySetup micArrayBefore = micArray;
    // The readout listens itself only for a chosen array that no worker reads: nobody's
    // microphone is opened just because the dialog is.
    const bool arrayChosen = m_nDeviceKind == kTrackingMicArray;
    const bool arrayTracking = arrayChosen && m_trackingWorker.IsRunning() && !m_trackingWorker.HasEnded();
    const SettingsOutcome outcome =
        RunSettingsDialog(this, current, &micArray, &m_micArrayReadout, arrayChosen && !arrayTracking);
    if (micArray.device != micArrayBefore.device || micArray.geometry != micArrayBefore.geometry
        || micArray.nZeroAngle != micArrayBefore.nZeroAngle) {
        micArray.Write(profile);
        profile.Save();
        // An array source takes the new setup at once (also one whose device had vanished).
        if (arrayChosen && m_trackingWorker.IsRunning()) {
            StopTracking();
            StartTracking();
        }
    }
    // The camera has its new format already; the dialog keeps the values and its z-order.
    if (outcome.topMost == TopMostChange::MakeTopMost)
        SetTopMost(TRUE, FALSE);
    else if (outcome.topMost == TopMostChange::MakeNotTopMost)
        SetTopMost(FALSE, FALSE);
    m_bAlwaysOnTop = current.bAlwaysOnTop;
    m_strFirmwareURL = current.strFirmwareUrl;
    m_camera.m_nVideoFormat = current.nVideoFormat;
    if (outcome.bCameraChanged)
        ChangeCameraConnection(current.camera);
}

void CControllerDlg::ChangeCameraConnection(const CameraConnection& connection)
{
    // As when the camera goes away: what the old camera holds is taught, then it is closed;
    // the frame then looks for the new one and connects as on a plug-in.
    StopTracking();
    SaveCameraPosition();
    m_camera.OnCameraLink(0);
    m_cameraConnection = connection;
    CamConfigure(connection);
    SaveSettings();
    if (TrayFrameOperations* frame = MainFrameOperations())
        frame->CheckCameraPresence(TRUE);
}

void CControllerDlg::OnFirmwareUpdate()
{
    ControllerFirmwareHost host(*this);
    RunFirmwareUpdate(host);
}

int CControllerDlg::UpdateFirmwareFrom(const QString& path, QString* status)
{
    ControllerFirmwareHost host(*this);
    NamedFileFirmwareServices services(path);
    int result = -1;
    RunFirmwareUpdate(
        host,
        [&](CFirmwareUpdateDlg& dlg) {
            // Started as a user would (the file source, Start) once it shows; closed when it
            // has finished.
            connect(&dlg, &CFirmwareUpdateDlg::updateFinished, &dlg, [&dlg] { dlg.done(IDOK); });
            QTimer::singleShot(0, &dlg, [&dlg] {
                dlg.SourceButton(1)->setChecked(true);
                dlg.OnStart();
            });
            dlg.exec();
            result = dlg.GetResult();
            if (status)
                *status = dlg.GetStatus();
        },
        &services);
    return result;
}

void CControllerDlg::OnVideoWindow()
{
    ToggleVideoWindow(m_pVideoWnd, this, m_makeVideoCapture ? m_makeVideoCapture() : nullptr);
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

// --- Window messages and events ---------------------------------------------------------

LRESULT CControllerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A destroyed window gets no more messages, like those still queued for it.
    if (m_bDestroyed)
        return 0;
    switch (message) {
    case WM_COMMAND:
        OnCommand(static_cast<UINT>(wParam & 0xFFFF));
        return 0;
    case WM_CLOSE:
        HideController();
        return 0;
    case WM_DESTROY:
        DestroyWindow();
        return 0;
    case WM_QUERYENDSESSION:
        return OnQueryEndSession();
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(wParam);
    case WM_CAMERA_LINK:
        return m_camera.OnCameraLink(wParam);
    case WM_CAMERA_COMM_ERROR:
        return m_camera.OnCameraCommError();
    case WM_CAMERA_MODE:
        return m_camera.OnCameraMode(wParam);
    case WM_PAD_BUTTON:
        return m_camera.OnPadButton(wParam, lParam);
    case WM_TRACKING_DIRECTION:
        return m_camera.OnTrackingDirection(wParam);
    case WM_SELECT_DIRECTION:
        return OnSelectDirection(wParam);
    case WM_TRACKING_ENABLE:
        return OnTrackingEnable(wParam);
    default:
        return 0;
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
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        e->accept();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
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

// --- End of the dialog, session and power -----------------------------------------------

bool CControllerDlg::SaveSettings()
{
    SaveCameraPosition();
    ProfileFile profile;
    // A profile that exists but cannot be read is not replaced by ours: nothing is lost.
    if (!profile.Load(m_strProfilePath))
        return false;
    ControllerValues values;
    values.nDeviceKind = m_nDeviceKind;
    values.nPosition = m_nPosition;
    values.bReverse = m_bReverse;
    values.bAlwaysOnTop = m_bAlwaysOnTop;
    values.bModified = m_bModified;
    values.strFirmwareUrl = m_strFirmwareURL.toStdString();
    values.Write(profile);
    m_settings.WriteProfile(profile);
    // A profile that never had the section keeps its layout while the QVT-VZ1 is used.
    if (profile.HasSection(kCameraSection) || !(m_cameraConnection == CameraConnection{}))
        WriteCameraConnection(profile, m_cameraConnection);
    return profile.Save();
}

void CControllerDlg::DestroyWindow()
{
    if (m_bDestroyed || !m_bCreated)
        return;
    m_bDestroyed = true;
    CloseVideoWindow();
    SaveSettings();
    CloseCamera();
    StopTracking();
}

BOOL CControllerDlg::OnQueryEndSession()
{
    CloseVideoWindow();
    if (m_bCreated)
        SaveSettings();
    CloseCamera();
    StopTracking();
    return TRUE;
}

BOOL CControllerDlg::OnPowerBroadcast(WPARAM event)
{
    if (event == PBT_APMQUERYSUSPEND)
        CloseVideoWindow();
    return TRUE;
}
