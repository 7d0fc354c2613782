#include "app/remote/RemoteActions.h"

#include "app/remote/RemoteNames.h"
#include "app/remote/RemoteState.h"
#include "camera/CameraConnectionApi.h"
#include "controller/ControllerSession.h"
#include "controller/ControllerWindows.h"
#include "firmware/FirmwareUpdateWorker.h"
#include "firmware/FirmwareAddress.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace remote {

RemoteActions::RemoteActions(ControllerSession& session, ControllerWindows& windows)
    : m_session(session), m_windows(windows)
{
    m_driveTimer.setSingleShot(true);
    connect(&m_driveTimer, &QTimer::timeout, this, [this] { ReleaseDrive(); });
}

RemoteActions::~RemoteActions()
{
    if (m_nHeldButton)
        ReleaseDrive();
}

RemoteState RemoteActions::State() const
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

Outcome RemoteActions::Hide()
{
    if (auto busy = CheckNotBusy())
        return busy;
    // Without a tray the closed window ends the program, which nobody asked for here.
    if (!m_windows.HideController())
        return Refusal{kNotInThisMode, QStringLiteral("Without a system tray, hiding the window would end the controller.")};
    return std::nullopt;
}

Outcome RemoteActions::ShowVideo(bool on)
{
    if (auto busy = CheckNotBusy())
        return busy;
    m_windows.ShowVideo(on);
    return std::nullopt;
}

Outcome RemoteActions::Stop()
{
    if (m_nHeldButton)
        ReleaseDrive();
    return std::nullopt;
}

Outcome RemoteActions::Show()
{
    if (auto busy = CheckNotBusy())
        return busy;
    m_windows.ShowController();
    return std::nullopt;
}

Outcome RemoteActions::SetTracking(bool on)
{
    if (auto refused = CheckSelectorShown())
        return refused;
    if (m_session.Tracking() == on)
        return std::nullopt;
    m_session.OnTrackingEnable(on);
    return std::nullopt;
}

Outcome RemoteActions::SelectDirection(uint direction)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto bad = CheckDirectionNumber(direction))
        return bad;
    if (auto refused = CheckSelectorShown())
        return refused;
    if (!rules::DirectionsEnabled(m_session.Controls()))
        return Refusal{kNotInThisMode, QStringLiteral("The directions cannot be chosen while tracking is on.")};
    if (!rules::KindHasDirection(m_session.DeviceKind(), static_cast<int>(direction)))
        return Refusal{kInvalidArgument, QStringLiteral("This speakerphone has no direction %1.").arg(direction)};
    m_session.OnSelectDirection(static_cast<int>(direction));
    return std::nullopt;
}

Outcome RemoteActions::GoToDirection(uint direction)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto bad = CheckDirectionNumber(direction))
        return bad;
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

Outcome RemoteActions::ViewButton(uint button)
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

Outcome RemoteActions::SelectPage(const QString& page)
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

Outcome RemoteActions::Drive(const QString& direction, uint milliseconds)
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

Outcome RemoteActions::Export(const QString& path)
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

Outcome RemoteActions::Import(const QString& path)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto bad = CheckFilePath(path))
        return bad;
    if (auto refused = CheckImport())
        return refused;
    return ImportFrom(path, path);
}

Outcome RemoteActions::ImportText(const QByteArray& text)
{
    if (auto refused = CheckImport())
        return refused;
    // The session reads setting files by name: the text goes through a private file.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/qvt-vz1-import-XXXXXX.ini"));
    if (!file.open() || file.write(text) != text.size() || !file.flush())
        return Refusal{kFileError, QStringLiteral("Cannot keep the setting file for its import.")};
    return ImportFrom(file.fileName(), {});
}

Outcome RemoteActions::CheckImport() const
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (!rules::SettingFilesEnabled(m_session.Controls()))
        return Refusal{kNotInThisMode, QStringLiteral("Settings cannot be imported while tracking is on.")};
    return std::nullopt;
}

Outcome RemoteActions::ImportFrom(const QString& path, const QString& shownName)
{
    const QString name = shownName.isEmpty() ? QStringLiteral("The setting file") : shownName;
    switch (m_session.ImportSettingsFrom(QFile::encodeName(path).toStdString())) {
    case SettingFileOutcome::Done: return std::nullopt;
    case SettingFileOutcome::InvalidDevice:
        return Refusal{kInvalidFile,
                       QStringLiteral("%1 names a device this controller does not know (made by a newer version).")
                           .arg(name)};
    default:
        return Refusal{kFileError, shownName.isEmpty() ? QStringLiteral("Cannot read the setting file.")
                                                       : QStringLiteral("Cannot read the setting file %1.").arg(shownName)};
    }
}

Outcome RemoteActions::UpdateFirmware(const QString& path)
{
    if (auto busy = CheckNotBusy())
        return busy;
    if (auto bad = IsFirmwareWebAddress(path) ? std::nullopt : CheckFilePath(path))
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

Outcome RemoteActions::CheckNotBusy() const
{
    if (m_windows.Busy())
        return Refusal{kBusy, QStringLiteral("The controller is busy with a window that waits for an answer "
                                             "(a firmware update, a question or a file dialog).")};
    return std::nullopt;
}

Outcome RemoteActions::CheckCamera() const
{
    if (!rules::HasCamera(m_session.Controls())) {
        // Named as the balloons name it: the camera the controller is set up for.
        const QString name = QString::fromStdString(CamConnection().Name());
        return Refusal{kNoCamera, name.isEmpty() ? QStringLiteral("No QVT-VZ1 camera is connected.")
                                                 : QStringLiteral("Camera %1 is not connected.").arg(name)};
    }
    return std::nullopt;
}

Outcome RemoteActions::CheckSelectorShown() const
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

Outcome RemoteActions::CheckDirectionNumber(uint direction) const
{
    if (direction > 6)
        return Refusal{kInvalidArgument, QStringLiteral("A direction is 0 to 6, not %1.").arg(direction)};
    return std::nullopt;
}

Outcome RemoteActions::CheckFilePath(const QString& path) const
{
    // The instance's current folder is not the caller's: only a full path says which file.
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return Refusal{kInvalidArgument, QStringLiteral("A file is given by its full path, not \"%1\".").arg(path)};
    return std::nullopt;
}

void RemoteActions::ReleaseDrive()
{
    const int id = m_nHeldButton;
    m_nHeldButton = 0;
    m_driveTimer.stop();
    m_session.OnPadButton(id, false);
}

} // namespace remote
