#include "controller/ControllerSession.h"

#include "camera/CameraConnectionApi.h"
#include "camera/CameraConnectionProfile.h"
#include "camera/QvtVz1Api.h"
#include "controller/ControllerValues.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/ProfileFile.h"
#include "platform/WinMessages.h"
#include "settings/SettingFile.h"
#include "settings/SettingRanges.h"
#include "tracking/FactoryPresets.h"
#include "tracking/TrackingState.h"
#include "tracking/micarray/MicArraySetup.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr UINT kReplacePresetsQuestion = 35014;
} // namespace

ControllerSession::ControllerSession(std::string profilePath, CClock* clock, QObject* parent)
    : QObject(parent),
      m_camera(m_settings, m_bModified, *this),
      m_strProfilePath(std::move(profilePath)),
      m_pClock(clock ? clock : &SystemClock())
{
    if (m_strProfilePath.empty())
        m_strProfilePath = ApplicationProfilePath();
}

ControllerSession::~ControllerSession()
{
    Shutdown();
}

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

// --- Camera side ------------------------------------------------------------------------

int ControllerSession::FindCameraPort()
{
    char buf[20];
    std::memset(buf, 0, sizeof buf);
    const int found = CamFindPort(buf);
    if (found == 1)
        m_strCameraPort = QString::fromLocal8Bit(buf, static_cast<int>(strnlen(buf, sizeof buf)));
    return found;
}

int ControllerSession::OpenCamera()
{
    // The library reports the link and the stand position to the main window, which relays.
    const int opened = m_camera.OpenCamera(m_strCameraPort.toLocal8Bit().toStdString(), AfxGetMainWnd());
    Q_EMIT stateChanged();
    return opened;
}

void ControllerSession::CloseCamera()
{
    m_camera.CloseCamera();
    Q_EMIT stateChanged();
}

bool ControllerSession::CameraOpen() const
{
    return CamIsOpen() != 0;
}

QString ControllerSession::FirmwareVersion()
{
    if (!CameraOpen()) {
        m_bVersionStale = true;
        return {};
    }
    if (m_bVersionStale) {
        char buf[32];
        std::memset(buf, 0, sizeof buf);
        if (CamGetFirmwareVersion(buf))
            m_strFirmwareVersion = QString::fromLatin1(buf, static_cast<int>(strnlen(buf, sizeof buf)));
        m_bVersionStale = false;
    }
    return m_strFirmwareVersion;
}

void ControllerSession::SaveCameraPosition()
{
    m_camera.SaveCameraPosition();
}

void ControllerSession::ApplyCameraPosition(BOOL bForce)
{
    m_camera.ApplyCameraPosition(bForce);
}

void ControllerSession::BorrowCamera()
{
    Q_EMIT cameraBorrowed();
    StopTracking();
    CloseCamera();
}

void ControllerSession::ReturnCamera()
{
    Q_EMIT cameraReturned();
    // The camera comes back from its restart as a new device, possibly on another port:
    // looked up again, as after a plug-in, instead of opening the one it had.
    FindCameraPort();
    OpenCamera();
    StartTracking();
}

void ControllerSession::CameraModeChanged(int)
{
    Q_EMIT stateChanged();
}

void ControllerSession::RecalcLayout()
{
    Q_EMIT stateChanged();
}

void ControllerSession::ShowTrayMessage(UINT stringId)
{
    Q_EMIT trayMessage(stringId);
}

bool ControllerSession::LoadFactoryFrontPreset(int direction)
{
    if (m_nDeviceKind == kTrackingNone)
        return false;
    LoadDefaultPresets(direction, m_nPosition, m_bReverse);
    return true;
}

void ControllerSession::LoadDefaultPresets(int direction, int position, int reverse)
{
    const FactoryPresets* variant = FactoryPresetsForKind(m_nDeviceKind);
    // A hand-edited distance has no table row: nothing is written rather than a row guessed.
    if (!variant || position < 0 || position >= kFactoryDistances)
        return;
    ::LoadDefaultPresets(*variant, &m_settings, direction, position, reverse);
}

int ControllerSession::ReloadFactoryPresets(int position, int reverse)
{
    if (m_nDeviceKind == kTrackingNone)
        return 1;
    if (m_bModified == 1 && !Confirm(kReplacePresetsQuestion))
        return 0;
    LoadDefaultPresets(kAllDirections, position, reverse);
    m_bModified = 0;
    if (CameraMode() == kCameraUpside || CameraMode() == kCameraFront)
        ApplyCameraPosition(FALSE);
    return 1;
}

// --- Tracking ---------------------------------------------------------------------------

int ControllerSession::StartTracking()
{
    if (m_trackingWorker.IsRunning() || m_nDeviceKind == kTrackingNone || m_settings.m_nMode != kAutoPage
        || m_settings.m_bTracking != 1)
        return 0;
    // The array's device, geometry and direction 0, as the settings dialog last stored them.
    TrackingContext context{{}, &m_micArrayReadout};
    if (m_nDeviceKind == kTrackingMicArray)
        context.micArray = MicArray();
    return m_trackingWorker.Start(m_nDeviceKind, this, *m_pClock, context) ? 1 : 0;
}

void ControllerSession::StopTracking()
{
    m_trackingWorker.Stop();
}

void ControllerSession::OnSelectDirection(int direction)
{
    const int mode = CameraMode();
    if (Page() != kAutoPage || (mode != kCameraUpside && mode != kCameraFront) || direction < 0
        || direction > kCentreDirection)
        return;
    // What the user steered to belongs to the direction chosen so far.
    SaveCameraPosition();
    if (mode == kCameraUpside)
        m_settings.m_nUpDirection = direction;
    else
        m_settings.m_nFrontDirection = direction;
    ApplyCameraPosition(FALSE);
    Q_EMIT stateChanged();
}

void ControllerSession::OnTrackingEnable(bool on)
{
    SaveCameraPosition();
    m_settings.m_bTracking = on ? 1 : 0;
    m_nTalker = 255;  // nobody has been heard yet
    if (m_settings.m_bTracking) {
        StartTracking();
    } else {
        StopTracking();
        ApplyCameraPosition(FALSE);
    }
    Q_EMIT stateChanged();
}

void ControllerSession::OnViewButton(int button)
{
    m_camera.OnViewButton(button);
    Q_EMIT stateChanged();
}

void ControllerSession::OnPadButton(int id, bool pressed)
{
    m_camera.OnPadButton(static_cast<WPARAM>(id), pressed ? 1 : 0);
}

void ControllerSession::OnTrackingDirection(int direction)
{
    m_camera.OnTrackingDirection(static_cast<WPARAM>(direction));
    m_nTalker = std::clamp(direction, 0, 255);
    Q_EMIT talkerDirection(m_nTalker);
}

int ControllerSession::Direction() const
{
    if (CameraMode() == kCameraUpside)
        return m_settings.m_nUpDirection;
    if (CameraMode() == kCameraFront)
        return m_settings.m_nFrontDirection;
    return 255;
}

// --- Camera messages --------------------------------------------------------------------

void ControllerSession::OnCameraLink(bool up)
{
    if (up)
        m_bVersionStale = true;  // a new link may be another camera, or new firmware
    m_camera.OnCameraLink(up ? 1 : 0);
    if (!up)
        Q_EMIT cameraLinkDown();
}

void ControllerSession::OnCameraCommError()
{
    m_camera.OnCameraCommError();
    Q_EMIT cameraLinkDown();
}

void ControllerSession::OnCameraMode(int mode)
{
    if (mode >= 0)
        m_camera.OnCameraMode(static_cast<WPARAM>(mode));
}

LRESULT ControllerSession::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The worker's reports come after the end only when queued before it: dropped.
    if (m_bShutDown)
        return 0;
    switch (message) {
    case WM_TRACKING_DIRECTION: OnTrackingDirection(static_cast<int>(std::min<WPARAM>(wParam, 255))); break;
    case WM_CAMERA_LINK: OnCameraLink(wParam != 0); break;
    case WM_CAMERA_COMM_ERROR: OnCameraCommError(); break;
    case WM_CAMERA_MODE: OnCameraMode(static_cast<int>(std::min<WPARAM>(wParam, 255))); break;
    case WM_PAD_BUTTON: OnPadButton(static_cast<int>(wParam), lParam == 1); break;
    case WM_SELECT_DIRECTION: OnSelectDirection(static_cast<int>(std::min<WPARAM>(wParam, 255))); break;
    case WM_TRACKING_ENABLE: OnTrackingEnable(wParam == 1); break;
    default: break;
    }
    return 0;
}

// --- Choices above the tabs -------------------------------------------------------------

bool ControllerSession::OnSelchangeDevice(int kind)
{
    if (m_nDeviceKind != kTrackingNone) {
        SaveCameraPosition();
        StopTracking();
    }
    const int oldKind = m_nDeviceKind;
    m_nDeviceKind = IsValidDeviceKind(kind) ? kind : kTrackingNone;
    if (m_nDeviceKind != oldKind && ReloadFactoryPresets(m_nPosition, m_bReverse) == 1) {
        if (m_nDeviceKind != kTrackingNone) {
            StartTracking();
        } else {
            m_settings.m_nUpDirection = kCentreDirection;
            m_settings.m_nFrontDirection = kCentreDirection;
            m_settings.m_bTracking = 0;
        }
        Q_EMIT stateChanged();
        return true;
    }
    m_nDeviceKind = oldKind;
    Q_EMIT stateChanged();
    return false;
}

bool ControllerSession::OnSelchangePosition(int position)
{
    if (position != m_nPosition && ReloadFactoryPresets(position, m_bReverse) == 1) {
        m_nPosition = position;
        Q_EMIT stateChanged();
        return true;
    }
    Q_EMIT stateChanged();
    return false;
}

bool ControllerSession::OnReverse(int reverse)
{
    reverse = reverse != 0 ? 1 : 0;
    if (reverse != m_bReverse && ReloadFactoryPresets(m_nPosition, reverse) == 1) {
        m_bReverse = reverse;
        Q_EMIT stateChanged();
        return true;
    }
    Q_EMIT stateChanged();
    return false;
}

void ControllerSession::OnSelchangeTab(int page)
{
    if ((page != kAutoPage && page != kManualPage) || page == m_settings.m_nMode)
        return;
    if (m_settings.m_nMode == kAutoPage && m_settings.m_bTracking == 1)
        StopTracking();
    SaveCameraPosition();
    m_settings.m_nMode = page;
    Q_EMIT stateChanged();
    if (page == kAutoPage && m_settings.m_bTracking == 1)
        StartTracking();
    ApplyCameraPosition(FALSE);
}

ControlState ControllerSession::Controls() const
{
    ControlState s;
    s.page = Page();
    s.cameraMode = CameraMode();
    s.deviceKind = m_nDeviceKind;
    s.tracking = Tracking();
    s.upMode = m_settings.m_nUpMode;
    s.userMode = m_settings.m_nUserMode;
    return s;
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
