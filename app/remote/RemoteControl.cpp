#include "app/remote/RemoteControl.h"

#include "app/remote/RemoteNames.h"
#include "camera/QvtVz1Api.h"
#include "firmware/FirmwareUpdateWorker.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "settings/SettingFileFlow.h"
#include "ui/controller/ControllerDlg.h"
#include "ui/controller/PageTabCtrl.h"
#include "ui/controls/BitmapButton.h"
#include "ui/controls/DirectionSelector.h"
#include "ui/controls/HoldButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QLoggingCategory>
#include <QRadioButton>
#include <QTabBar>

#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcRemote, "qvt.remote", QtWarningMsg)

namespace remote {

namespace {

bool Usable(const QWidget* control)
{
    return control && control->isEnabled() && !control->isHidden();
}

} // namespace

RemoteControl::RemoteControl(CControllerDlg& dlg, QDBusConnection bus)
    : m_dlg(dlg), m_bus(std::move(bus)), m_pMainWnd(AfxGetMainWnd())
{
    m_driveTimer.setSingleShot(true);
    connect(&m_driveTimer, &QTimer::timeout, this, [this] { ReleaseDrive(); });
    // Many messages in one pass of the loop give one announcement.
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] { Refresh(); });

    // Every change of the controller arrives as a message to the dialog or the frame, or as a
    // click on a control above the pages.
    m_dlg.installEventFilter(this);
    if (m_pMainWnd)
        m_pMainWnd->installEventFilter(this);
    if (m_dlg.m_tabPages)
        connect(m_dlg.m_tabPages, &CPageTabCtrl::selChanged, this, [this] { ScheduleRefresh(); });
    if (m_dlg.m_cbDevice)
        connect(m_dlg.m_cbDevice, &QComboBox::activated, this, [this] { ScheduleRefresh(); });
    m_state = Read();
}

RemoteControl::~RemoteControl()
{
    if (m_nHeldButton)
        ReleaseDrive();
    if (m_bRegistered) {
        m_bus.unregisterService(QLatin1String(kService));
        m_bus.unregisterObject(QLatin1String(kPath));
    }
}

bool RemoteControl::Register()
{
    if (!m_bus.isConnected()) {
        qCInfo(lcRemote) << "no session bus: no remote control";
        return false;
    }
    if (!m_bus.registerObject(QLatin1String(kPath), this,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                                  | QDBusConnection::ExportAllProperties)) {
        qCWarning(lcRemote) << "cannot export" << kPath;
        return false;
    }
    if (!m_bus.registerService(QLatin1String(kService))) {
        qCWarning(lcRemote) << "the bus name" << kService << "is taken";
        m_bus.unregisterObject(QLatin1String(kPath));
        return false;
    }
    m_bRegistered = true;
    return true;
}

// --- Methods ----------------------------------------------------------------------------

void RemoteControl::ShowController()
{
    Answer(DoShow());
}

void RemoteControl::HideController()
{
    Outcome outcome = CheckNotBusy();
    // Without a tray the closed window ends the program, which nobody asked for here.
    if (!outcome && m_canHide && !m_canHide())
        outcome = Refusal{kNotInThisMode, QStringLiteral("Without a system tray, hiding the window would end the controller.")};
    if (!outcome)
        SendMessage(&m_dlg, WM_COMMAND, ID_CLOSE_CONTROLLER, 0);
    Answer(outcome);
}

void RemoteControl::SetTracking(bool on)
{
    Answer(DoSetTracking(on));
}

void RemoteControl::SelectDirection(uint direction)
{
    Answer(DoSelectDirection(direction));
}

void RemoteControl::GoToDirection(uint direction)
{
    Answer(DoGoToDirection(direction));
}

void RemoteControl::ViewButton(uint button)
{
    Answer(DoViewButton(button));
}

void RemoteControl::SelectPage(const QString& page)
{
    Answer(DoSelectPage(page));
}

void RemoteControl::Drive(const QString& direction, uint milliseconds)
{
    Answer(DoDrive(direction, milliseconds));
}

void RemoteControl::Stop()
{
    // Ending a motion is never refused.
    if (m_nHeldButton)
        ReleaseDrive();
    Answer(std::nullopt);
}

void RemoteControl::ExportSettings(const QString& path)
{
    Answer(DoExport(path));
}

void RemoteControl::ImportSettings(const QString& path)
{
    Answer(DoImport(path));
}

void RemoteControl::UpdateFirmware(const QString& path)
{
    // The reply waits for the whole update (its dialog runs modally meanwhile, so other
    // calls are refused as busy).
    Answer(DoUpdateFirmware(path));
}

// --- What each method does --------------------------------------------------------------

RemoteControl::Outcome RemoteControl::DoShow()
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (m_dlg.isVisible()) {
        m_dlg.raise();
        m_dlg.activateWindow();
    } else if (m_pMainWnd) {
        SendMessage(m_pMainWnd, WM_COMMAND, ID_SHOW_CONTROLLER, 0);
    } else {
        m_dlg.show();
    }
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoSetTracking(bool on)
{
    if (auto refused = CheckSelectorShown())
        return refused;
    if ((m_dlg.m_settings.m_bTracking != 0) == on)
        return std::nullopt;
    if (!Usable(m_dlg.m_autoPage.GetCurrentSelector()->TrackingBox()))
        return Refusal{kNotInThisMode, QStringLiteral("The \"Enable Tracking\" box cannot be used now.")};
    SendMessage(m_pMainWnd, WM_TRACKING_ENABLE, on ? 1 : 0, 0);
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoSelectDirection(uint direction)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (direction > 6)
        return Refusal{kInvalidArgument, QStringLiteral("A direction is 0 to 6, not %1.").arg(direction)};
    if (auto refused = CheckSelectorShown())
        return refused;
    if (m_dlg.m_settings.m_bTracking)
        return Refusal{kNotInThisMode, QStringLiteral("The directions cannot be chosen while tracking is on.")};
    const CDirectionSelector* selector = m_dlg.m_autoPage.GetCurrentSelector();
    for (int i = 0; i < selector->RadioCount(); ++i) {
        if (selector->RadioDirection(i) != static_cast<int>(direction))
            continue;
        if (!Usable(selector->Radio(i)))
            return Refusal{kNotInThisMode, QStringLiteral("The radio of direction %1 cannot be used now.").arg(direction)};
        SendMessage(m_pMainWnd, WM_SELECT_DIRECTION, direction, 0);
        return std::nullopt;
    }
    return Refusal{kInvalidArgument, QStringLiteral("This speakerphone has no direction %1.").arg(direction)};
}

RemoteControl::Outcome RemoteControl::DoGoToDirection(uint direction)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (direction > 6)
        return Refusal{kInvalidArgument, QStringLiteral("A direction is 0 to 6, not %1.").arg(direction)};
    if (auto camera = CheckCamera())
        return camera;
    // As a talker: only while tracking drives the camera. Otherwise the next read-back would
    // store this preset's position in the chosen direction's preset.
    const int mode = m_dlg.m_camera.m_nCameraMode;
    const bool presetsApply = (mode == 1 && m_dlg.m_settings.m_nUpMode == 1) || mode == 3;
    if (!m_dlg.m_settings.m_bTracking || m_dlg.m_tabPages->GetCurSel() != 0 || !presetsApply)
        return Refusal{kNotInThisMode,
                       QStringLiteral("Going to a direction works only while tracking is on, on the Auto page, "
                                      "in Upside with the direction presets or in Front.")};
    // The worker's "nobody speaks" is the centre.
    SendMessage(&m_dlg, WM_TRACKING_DIRECTION, direction == 6 ? 255 : direction, 0);
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoViewButton(uint button)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (button < 1 || button > 3)
        return Refusal{kInvalidArgument, QStringLiteral("A view button is 1 to 3, not %1.").arg(button)};
    if (auto camera = CheckCamera())
        return camera;
    if (!Usable(CurrentPage().OptionButton(static_cast<int>(1013 + button))))
        return Refusal{kNotInThisMode,
                       QStringLiteral("View button %1 is not offered on this page in this position.").arg(button)};
    switch (button) {
    case 1: m_dlg.OnViewButton1(); break;
    case 2: m_dlg.OnViewButton2(); break;
    default: m_dlg.OnViewButton3(); break;
    }
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoSelectPage(const QString& page)
{
    if (auto busy = CheckNotBusy())
        return busy;
    const int index = PageFromName(page);
    if (index < 0)
        return Refusal{kInvalidArgument, QStringLiteral("A page is \"auto\" or \"manual\", not \"%1\".").arg(page)};
    // As a click on the tab: the tab bar reports the change and the dialog switches.
    m_dlg.m_tabPages->TabBar()->setCurrentIndex(index);
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoDrive(const QString& direction, uint milliseconds)
{
    if (auto busy = CheckNotBusy())
        return busy;
    const int id = DriveButtonId(direction);
    if (id == 0)
        return Refusal{kInvalidArgument, QStringLiteral("\"%1\" is not a direction to drive.").arg(direction)};
    if (milliseconds > kMaxDriveMs)
        return Refusal{kInvalidArgument,
                       QStringLiteral("A drive lasts at most %1 ms, not %2.").arg(kMaxDriveMs).arg(milliseconds)};
    if (auto camera = CheckCamera())
        return camera;
    if (!Usable(CurrentPage().HoldButton(id)))
        return Refusal{kNotInThisMode, QStringLiteral("The %1 button cannot be used now.").arg(direction)};
    // One press at a time, as with one mouse: a new drive releases the one held.
    if (m_nHeldButton)
        ReleaseDrive();
    SendMessage(m_pMainWnd, WM_PAD_BUTTON, static_cast<WPARAM>(id), 1);
    m_nHeldButton = id;
    m_driveTimer.start(static_cast<int>(milliseconds));
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoExport(const QString& path)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto bad = CheckFilePath(path))
        return bad;
    if (m_dlg.m_settings.m_bTracking)
        return Refusal{kNotInThisMode, QStringLiteral("Settings cannot be exported while tracking is on.")};
    if (m_dlg.ExportSettingsTo(path) != SettingFileOutcome::Done)
        return Refusal{kFileError, QStringLiteral("Cannot write the setting file %1.").arg(path)};
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoImport(const QString& path)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto bad = CheckFilePath(path))
        return bad;
    if (m_dlg.m_settings.m_bTracking)
        return Refusal{kNotInThisMode, QStringLiteral("Settings cannot be imported while tracking is on.")};
    switch (m_dlg.ImportSettingsFrom(path)) {
    case SettingFileOutcome::Done: return std::nullopt;
    case SettingFileOutcome::InvalidDevice:
        return Refusal{kInvalidFile,
                       QStringLiteral("%1 names a device this controller does not know (made by a newer version).")
                           .arg(path)};
    default: return Refusal{kFileError, QStringLiteral("Cannot read the setting file %1.").arg(path)};
    }
}

RemoteControl::Outcome RemoteControl::DoUpdateFirmware(const QString& path)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto bad = CheckFilePath(path))
        return bad;
    if (auto camera = CheckCamera())
        return camera;
    QString status;
    switch (m_dlg.UpdateFirmwareFrom(path, &status)) {
    case static_cast<int>(FW_RESULT_COMPLETED): return std::nullopt;
    case -1:
        return Refusal{kNoCamera, QStringLiteral("No QVT-VZ1 camera is connected, or it does not tell its firmware version.")};
    default:  // the dialog's own last words: what a user would have read in it
        return Refusal{kUpdateFailed, QStringLiteral("The firmware update did not complete: %1").arg(status.trimmed())};
    }
}

// --- Conditions -------------------------------------------------------------------------

RemoteControl::Outcome RemoteControl::CheckNotBusy() const
{
    if (QApplication::activeModalWidget())
        return Refusal{kBusy, QStringLiteral("The controller is busy with a window that waits for an answer "
                                             "(a firmware update, a question or a file dialog).")};
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::CheckCamera() const
{
    if (m_dlg.m_camera.m_nCameraMode < 0 || m_dlg.m_camera.m_nCameraMode > 3)
        return Refusal{kNoCamera, QStringLiteral("No QVT-VZ1 camera is connected.")};
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::CheckSelectorShown() const
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto camera = CheckCamera())
        return camera;
    const int mode = m_dlg.m_camera.m_nCameraMode;
    if (m_dlg.m_tabPages->GetCurSel() != 0 || (mode != 1 && mode != 3))
        return Refusal{kNotInThisMode, QStringLiteral("Tracking and directions are on the Auto page, in Upside or Front.")};
    if (!m_dlg.m_autoPage.GetCurrentSelector())
        return Refusal{kNotInThisMode, QStringLiteral("No speakerphone is chosen under \"Device Name\".")};
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::CheckFilePath(const QString& path) const
{
    // The instance's current folder is not the caller's: only a full path says which file.
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return Refusal{kInvalidArgument, QStringLiteral("A file is given by its full path, not \"%1\".").arg(path)};
    return std::nullopt;
}

void RemoteControl::Answer(const Outcome& outcome)
{
    if (outcome && calledFromDBus())
        sendErrorReply(QLatin1String(kErrorPrefix) + QLatin1String(outcome->name), outcome->text);
    Refresh();
}

ControlPage& RemoteControl::CurrentPage() const
{
    if (m_dlg.m_tabPages->GetCurSel() == 0)
        return m_dlg.m_autoPage;
    return m_dlg.m_manualPage;
}

void RemoteControl::ReleaseDrive()
{
    const int id = m_nHeldButton;
    m_nHeldButton = 0;
    m_driveTimer.stop();
    SendMessage(m_pMainWnd, WM_PAD_BUTTON, static_cast<WPARAM>(id), 0);
}

// --- Properties -------------------------------------------------------------------------

const RemoteState& RemoteControl::Current()
{
    Refresh();
    return m_state;
}

RemoteState RemoteControl::Read()
{
    RemoteState s;
    s.cameraPresent = CamIsOpen() != 0;
    s.cameraMode = m_dlg.m_camera.m_nCameraMode;
    s.page = m_dlg.m_tabPages && m_dlg.m_tabPages->GetCurSel() == 1 ? 1 : 0;
    s.deviceKind = static_cast<uint>(m_dlg.m_nDeviceKind);
    s.tracking = m_dlg.m_settings.m_bTracking != 0;
    if (s.cameraMode == 1)
        s.direction = static_cast<uint>(m_dlg.m_settings.m_nUpDirection);
    else if (s.cameraMode == 3)
        s.direction = static_cast<uint>(m_dlg.m_settings.m_nFrontDirection);
    // Without tracking nobody is being followed.
    if (!s.tracking)
        m_nTalker = 255;
    s.talkerDirection = m_nTalker;
    if (!s.cameraPresent) {
        m_bVersionStale = true;
    } else if (m_bVersionStale) {
        char buf[32];
        std::memset(buf, 0, sizeof buf);
        if (CamGetFirmwareVersion(buf))
            m_state.firmwareVersion = QString::fromLatin1(buf, static_cast<int>(strnlen(buf, sizeof buf)));
        m_bVersionStale = false;
    }
    s.firmwareVersion = s.cameraPresent ? m_state.firmwareVersion : QString();
    return s;
}

void RemoteControl::Refresh()
{
    m_refreshTimer.stop();
    const RemoteState now = Read();
    const QStringList changed = ChangedProperties(m_state, now);
    m_state = now;
    if (changed.isEmpty() || !m_bRegistered)
        return;
    const QVariantMap all = Properties(now);
    QVariantMap values;
    for (const QString& name : changed)
        values.insert(name, all.value(name));
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(kInterface) << values << QStringList();
    m_bus.send(signal);
}

void RemoteControl::ScheduleRefresh()
{
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

bool RemoteControl::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == WinMessageEvent::eventType()) {
        const auto* message = static_cast<WinMessageEvent*>(e);
        if (watched == &m_dlg && message->message == WM_TRACKING_DIRECTION) {
            m_nTalker = static_cast<uint>(std::min<WPARAM>(message->wParam, 255));
            Q_EMIT TalkerChanged(m_nTalker);
        } else if (message->message == WM_CAMERA_LINK && message->wParam != 0) {
            m_bVersionStale = true;
        }
        ScheduleRefresh();
    }
    return false;
}

} // namespace remote
