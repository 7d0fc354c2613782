#include "controller/ControllerSession.h"

#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/WinMessages.h"
#include "settings/SettingRanges.h"
#include "tracking/FactoryPresets.h"
#include "tracking/TrackingState.h"

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

void ControllerSession::CameraStateChanged()
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
    const CameraCapabilities caps = CamCapabilities();
    return MakeControlState(Page(), CameraMode(), m_nDeviceKind, m_settings, caps.panTilt, caps.zoom);
}
