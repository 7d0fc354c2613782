#include "app/remote/RemoteControl.h"

#include "app/remote/RemoteNames.h"
#include "camera/CameraConnectionApi.h"
#include "controller/ControllerSession.h"
#include "controller/ControllerWindows.h"
#include "firmware/FirmwareUpdateWorker.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRemote, "qvt.remote", QtWarningMsg)

namespace remote {

RemoteControl::RemoteControl(ControllerSession& session, ControllerWindows& windows, QDBusConnection bus)
    : m_session(session), m_windows(windows), m_bus(std::move(bus))
{
    m_driveTimer.setSingleShot(true);
    connect(&m_driveTimer, &QTimer::timeout, this, [this] { ReleaseDrive(); });
    connect(&m_session, &ControllerSession::stateChanged, this, [this] { Refresh(); });
    connect(&m_session, &ControllerSession::talkerDirection, this, [this](int direction) {
        Q_EMIT TalkerChanged(static_cast<uint>(direction));
        Refresh();
    });
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
    if (!outcome && !m_windows.HideController())
        outcome = Refusal{kNotInThisMode, QStringLiteral("Without a system tray, hiding the window would end the controller.")};
    Answer(outcome);
}

void RemoteControl::ShowVideo(bool on)
{
    Outcome outcome = CheckNotBusy();
    if (!outcome)
        m_windows.ShowVideo(on);
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
    m_windows.ShowController();
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoSetTracking(bool on)
{
    if (auto refused = CheckSelectorShown())
        return refused;
    if (m_session.Tracking() == on)
        return std::nullopt;
    m_session.OnTrackingEnable(on);
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
    if (!rules::DirectionsEnabled(m_session.Controls()))
        return Refusal{kNotInThisMode, QStringLiteral("The directions cannot be chosen while tracking is on.")};
    if (!rules::KindHasDirection(m_session.DeviceKind(), static_cast<int>(direction)))
        return Refusal{kInvalidArgument, QStringLiteral("This speakerphone has no direction %1.").arg(direction)};
    m_session.OnSelectDirection(static_cast<int>(direction));
    return std::nullopt;
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
    if (!rules::TalkerMoveAllowed(m_session.Controls()))
        return Refusal{kNotInThisMode,
                       QStringLiteral("Going to a direction works only while tracking is on, on the Auto page, "
                                      "in Upside with the direction presets or in Front.")};
    // The worker's "nobody speaks" is the centre.
    m_session.OnTrackingDirection(direction == 6 ? 255 : static_cast<int>(direction));
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
    if (!rules::ViewButtonEnabled(m_session.Controls(), static_cast<int>(button)))
        return Refusal{kNotInThisMode,
                       QStringLiteral("View button %1 is not offered on this page in this position.").arg(button)};
    m_session.OnViewButton(static_cast<int>(button));
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoSelectPage(const QString& page)
{
    if (auto busy = CheckNotBusy())
        return busy;
    const int index = PageFromName(page);
    if (index < 0)
        return Refusal{kInvalidArgument, QStringLiteral("A page is \"auto\" or \"manual\", not \"%1\".").arg(page)};
    // As a click on the tab; the dialog follows the session.
    m_session.OnSelchangeTab(index);
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
    if (!rules::HoldButtonEnabled(m_session.Controls(), id))
        return Refusal{kNotInThisMode, QStringLiteral("The %1 button cannot be used now.").arg(direction)};
    // One press at a time, as with one mouse: a new drive releases the one held.
    if (m_nHeldButton)
        ReleaseDrive();
    m_session.OnPadButton(id, true);
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
    if (!rules::SettingFilesEnabled(m_session.Controls()))
        return Refusal{kNotInThisMode, QStringLiteral("Settings cannot be exported while tracking is on.")};
    if (m_session.ExportSettingsTo(QFile::encodeName(path).toStdString()) != SettingFileOutcome::Done)
        return Refusal{kFileError, QStringLiteral("Cannot write the setting file %1.").arg(path)};
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::DoImport(const QString& path)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto bad = CheckFilePath(path))
        return bad;
    if (!rules::SettingFilesEnabled(m_session.Controls()))
        return Refusal{kNotInThisMode, QStringLiteral("Settings cannot be imported while tracking is on.")};
    switch (m_session.ImportSettingsFrom(QFile::encodeName(path).toStdString())) {
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
    switch (m_windows.UpdateFirmwareFrom(path, &status)) {
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
    if (m_windows.Busy())
        return Refusal{kBusy, QStringLiteral("The controller is busy with a window that waits for an answer "
                                             "(a firmware update, a question or a file dialog).")};
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::CheckCamera() const
{
    if (!rules::HasCamera(m_session.Controls())) {
        // Named as the balloons name it: the camera the controller is set up for.
        const QString name = QString::fromStdString(CamConnection().Name());
        return Refusal{kNoCamera, name.isEmpty() ? QStringLiteral("No QVT-VZ1 camera is connected.")
                                                 : QStringLiteral("Camera %1 is not connected.").arg(name)};
    }
    return std::nullopt;
}

RemoteControl::Outcome RemoteControl::CheckSelectorShown() const
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto camera = CheckCamera())
        return camera;
    const int mode = m_session.CameraMode();
    if (m_session.Page() != 0 || (mode != 1 && mode != 3))
        return Refusal{kNotInThisMode, QStringLiteral("Tracking and directions are on the Auto page, in Upside or Front.")};
    if (!rules::SelectorShown(m_session.Controls()))
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

void RemoteControl::ReleaseDrive()
{
    const int id = m_nHeldButton;
    m_nHeldButton = 0;
    m_driveTimer.stop();
    m_session.OnPadButton(id, false);
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
    s.cameraPresent = m_session.CameraOpen();
    s.cameraMode = m_session.CameraMode();
    s.page = m_session.Page() == 1 ? 1 : 0;
    s.deviceKind = static_cast<uint>(m_session.DeviceKind());
    s.tracking = m_session.Tracking();
    s.direction = static_cast<uint>(m_session.Direction());
    s.talkerDirection = static_cast<uint>(m_session.TalkerDirection());
    s.firmwareVersion = m_session.FirmwareVersion();
    return s;
}

void RemoteControl::Refresh()
{
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

} // namespace remote
