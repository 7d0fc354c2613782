// The controller session's stored state: the profile it is loaded from and saved to, setting
// files, and the application settings the settings dialog changes.
#include "controller/ControllerSession.h"

#include "camera/CameraConnectionApi.h"
#include "camera/CameraConnectionProfile.h"
#include "controller/ControllerValues.h"
#include "platform/ProfileFile.h"
#include "settings/SettingFile.h"
#include "settings/SettingRanges.h"
#include "tracking/TrackingState.h"

// --- Profile ----------------------------------------------------------------------------

void ControllerSession::Load()
{
    // The values, then the settings record, from one reading of the profile.
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
    // Which camera: before the first presence check.
    m_cameraConnection = ReadCameraConnection(profile);
    CamConfigure(m_cameraConnection);

    if (m_nDeviceKind == kTrackingNone) {
        m_settings.m_bTracking = 0;
        m_settings.m_nUpDirection = kCentreDirection;
        m_settings.m_nFrontDirection = kCentreDirection;
    }
    m_bLoaded = true;
    FindCameraPort();
    Q_EMIT stateChanged();
}

bool ControllerSession::SaveSettings()
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

void ControllerSession::Shutdown()
{
    if (m_bShutDown || !m_bLoaded)
        return;
    m_bShutDown = true;
    SaveSettings();
    CloseCamera();
    StopTracking();
}

void ControllerSession::OnQueryEndSession()
{
    if (m_bLoaded)
        SaveSettings();
    CloseCamera();
    StopTracking();
}

bool ControllerSession::Confirm(UINT stringId) const
{
    return !m_confirm || m_confirm(stringId);
}

// --- Setting files ----------------------------------------------------------------------

SettingFileOutcome ControllerSession::ExportSettingsTo(const std::string& path)
{
    SaveCameraPosition();
    m_settings.m_bTracking = 0;
    if (!ExportSettingFile(path, m_settings, m_nDeviceKind, m_nPosition, m_bReverse))
        return SettingFileOutcome::NotWritten;
    m_bModified = 0;
    return SettingFileOutcome::Done;
}

SettingFileOutcome ControllerSession::ImportSettingsFrom(const std::string& path)
{
    SettingFileImport file = ImportSettingFile(path);
    if (file.status == SettingFileStatus::InvalidDevice)
        return SettingFileOutcome::InvalidDevice;
    if (file.status == SettingFileStatus::Unreadable)
        return SettingFileOutcome::NotRead;
    m_nDeviceKind = file.content.nDeviceKind;
    m_nPosition = file.content.nPosition;
    m_bReverse = file.content.bReverse;
    // The page stays the tab on screen: the file's page choice would part the visible tab
    // from the mode that tracking and the option buttons go by.
    const int page = m_settings.m_nMode;
    m_settings = file.content.settings;
    m_settings.m_nMode = page;
    m_settings.m_bTracking = 0;
    ApplyCameraPosition(FALSE);
    if (m_nDeviceKind == kTrackingNone) {
        m_settings.m_nUpDirection = kCentreDirection;
        m_settings.m_nFrontDirection = kCentreDirection;
    }
    m_bModified = 0;
    Q_EMIT stateChanged();
    return SettingFileOutcome::Done;
}

// --- Application settings ---------------------------------------------------------------

void ControllerSession::SetAlwaysOnTop(bool on)
{
    m_bAlwaysOnTop = on ? 1 : 0;
}

void ControllerSession::SetFirmwareUrl(const QString& url)
{
    m_strFirmwareURL = url;
}

void ControllerSession::SetVideoFormat(int format)
{
    m_camera.m_nVideoFormat = format;
}

MicArraySetup ControllerSession::MicArray() const
{
    MicArraySetup setup;
    setup.Read(ProfileFile(m_strProfilePath));
    return setup;
}

void ControllerSession::SetMicArray(const MicArraySetup& setup)
{
    const MicArraySetup before = MicArray();
    if (setup.device == before.device && setup.geometry == before.geometry && setup.nZeroAngle == before.nZeroAngle)
        return;
    ProfileFile profile(m_strProfilePath);
    setup.Write(profile);
    profile.Save();
    if (m_nDeviceKind == kTrackingMicArray && m_trackingWorker.IsRunning()) {
        StopTracking();
        StartTracking();
    }
}

void ControllerSession::ChangeCameraConnection(const CameraConnection& connection)
{
    // As when the camera goes away: what the old camera holds is taught, then it is closed;
    // the watch then looks for the new one and connects as on a plug-in.
    StopTracking();
    SaveCameraPosition();
    m_camera.OnCameraLink(0);
    m_cameraConnection = connection;
    CamConfigure(connection);
    SaveSettings();
    Q_EMIT cameraConnectionChanged();
}
