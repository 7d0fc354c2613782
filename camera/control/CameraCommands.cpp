#include "camera/control/CameraCommands.h"

#include "camera/QvtVz1Api.h"
#include "platform/WinMessages.h"
#include "settings/CameraSettings.h"
#include "settings/SettingRanges.h"

#include <cstddef>

namespace {
constexpr UINT kCommErrorMessage = 35013;  // "Communication Error. Cannot establish."

// A getter's value is taken only when the camera answered; a failed read keeps the old one.
void ReadInto(int (*getter)(int*), int& target)
{
    int value = -1;
    if (getter(&value))
        target = value;
}
} // namespace

CCameraCommands::CCameraCommands(CCameraSettings& settings, int& bModified, CameraCommandEvents& events)
    : m_settings(settings), m_bModified(bModified), m_events(events)
{
}

int CCameraCommands::OpenCamera(const std::string& port, HWND mainWnd)
{
    if (!CamIsPresent())
        return 0;
    CamOpen(port.c_str(), mainWnd, WM_CAMERA_LINK, WM_CAMERA_MODE);
    int format = m_nVideoFormat;
    if (CamGetVideoFormat(&format))
        m_nVideoFormat = format;
    return 1;
}

void CCameraCommands::CloseCamera()
{
    CamClose();
}

bool CCameraCommands::OnAutoPage() const
{
    return m_settings.m_nMode == kAutoPage;
}

bool CCameraCommands::TrackingHoldsCamera() const
{
    return OnAutoPage() && m_settings.m_bTracking == 1
        && (m_nCameraMode == kCameraUpside || m_nCameraMode == kCameraFront);
}

// A direction outside 0..6 (a hand-edited file) is taken as the centre and kept so, so that
// the stored value and the preset in use agree.
CCameraPosition& CCameraCommands::UpPreset()
{
    m_settings.m_nUpDirection = ClampDirection(m_settings.m_nUpDirection);
    return m_settings.m_upPresets[m_settings.m_nUpDirection];
}

CCameraPosition& CCameraCommands::FrontPreset()
{
    m_settings.m_nFrontDirection = ClampDirection(m_settings.m_nFrontDirection);
    return m_settings.m_frontPresets[m_settings.m_nFrontDirection];
}

void CCameraCommands::ReadBackAll(CCameraPosition& p)
{
    ReadInto(CamGetPan, p.m_nPan);
    ReadInto(CamGetTilt, p.m_nTilt);
    ReadInto(CamGetZoom, p.m_nZoom);
    ReadInto(CamGetRoll, p.m_nRoll);
}

void CCameraCommands::Send(int kind, const CCameraPosition& p)
{
    CamSetPosition(kind, p.m_nPan, p.m_nTilt, p.m_nZoom, p.m_nRoll);
}

void CCameraCommands::StopPad()
{
    CamDrive(0);
    m_wPadBits = 0;
}

void CCameraCommands::SaveCameraPosition()
{
    if (!OnAutoPage()) {
        if (m_nCameraMode != kNoCamera && m_settings.m_nUserMode == 2)
            ReadBackAll(m_settings.m_userPosition);
        return;
    }
    if (TrackingHoldsCamera())
        return;
    // A held pad would move the camera on while it is read; stop it as a release does.
    if (m_wPadBits != 0)
        StopPad();
    switch (m_nCameraMode) {
    case kCameraRelease:
        ReadInto(CamGetZoom, m_settings.m_nFreeZoom);
        break;
    case kCameraUpside:
        if (m_settings.m_nUpMode == 1)
            ReadBackAll(UpPreset());
        break;
    case kCameraOhp:
        // The roll of OHP changes only through its view button, never by reading back.
        ReadInto(CamGetZoom, m_settings.m_nOhpZoom);
        break;
    case kCameraFront:
        ReadBackAll(FrontPreset());
        break;
    default:
        break;
    }
}

void CCameraCommands::ApplyCameraPosition(BOOL bForce)
{
    if (!bForce && TrackingHoldsCamera())
        return;
    if (!OnAutoPage()) {
        if (m_nCameraMode == kNoCamera)
            return;
        if (m_settings.m_nUserMode == 2)
            Send(2, m_settings.m_userPosition);
        else
            CamSelectView(m_settings.m_nUserMode);
        return;
    }
    switch (m_nCameraMode) {
    case kCameraRelease:
        CamSetPosition(2, 90, 0, m_settings.m_nFreeZoom, 90);
        break;
    case kCameraUpside:
        if (m_settings.m_nUpMode == 1)
            Send(1, UpPreset());
        else
            CamSelectView(m_settings.m_nUpMode);
        break;
    case kCameraOhp:
        CamSetPosition(2, 90, 0, m_settings.m_nOhpZoom, m_settings.m_nOhpRoll);
        break;
    case kCameraFront:
        Send(2, FrontPreset());
        break;
    default:
        break;
    }
}

void CCameraCommands::SetUpsideMode(int mode, int flag, int pan, int tilt, int zoom, int roll)
{
    SaveCameraPosition();
    m_settings.m_nUpMode = mode;
    if (mode == 1 && flag >= 0) {
        CCameraPosition& p = UpPreset();
        p.m_nPan = pan;
        p.m_nTilt = tilt;
        p.m_nZoom = zoom;
        p.m_nRoll = roll;
    }
    ApplyCameraPosition(FALSE);
}

void CCameraCommands::SetFrontPreset(int direction, int pan, int tilt, int zoom, int roll)
{
    CCameraPosition& p = m_settings.m_frontPresets[ClampDirection(direction)];  // centre when out of range
    p.m_nPan = pan;
    p.m_nTilt = tilt;
    p.m_nZoom = zoom;
    p.m_nRoll = roll;
    ApplyCameraPosition(FALSE);
}

void CCameraCommands::SetOhpZoom(int zoom)
{
    m_settings.m_nOhpZoom = zoom;
    ApplyCameraPosition(FALSE);
}

void CCameraCommands::SetOhpRoll(int roll)
{
    SaveCameraPosition();
    m_settings.m_nOhpRoll = roll;
    ApplyCameraPosition(FALSE);
}

void CCameraCommands::SetFreeZoom(int zoom)
{
    m_settings.m_nFreeZoom = zoom;
    ApplyCameraPosition(FALSE);
}

void CCameraCommands::SetUserMode(int mode, int pan, int tilt, int zoom, int roll)
{
    SaveCameraPosition();
    m_settings.m_nUserMode = mode;
    if (mode == 2) {
        CCameraPosition& p = m_settings.m_userPosition;
        p.m_nPan = pan;
        p.m_nTilt = tilt;
        p.m_nZoom = zoom;
        p.m_nRoll = roll;
    }
    ApplyCameraPosition(FALSE);
}

WORD CCameraCommands::PadBits(WPARAM id)
{
    switch (id) {
    case 1003: return 10;  // up-left
    case 1004: return 8;   // up
    case 1005: return 9;   // up-right
    case 1006: return 2;   // left
    case 1008: return 1;   // right
    case 1009: return 6;   // down-left
    case 1010: return 4;   // down
    case 1011: return 5;   // down-right
    case 1012: return 16;
    case 1013: return 32;
    default: return 0;
    }
}

LRESULT CCameraCommands::OnPadButton(WPARAM id, LPARAM pressed)
{
    WORD bits = 0;
    if (pressed == 1) {
        // Steering in Upside or Front on the Auto page teaches a direction preset.
        if (OnAutoPage() && (m_nCameraMode == kCameraUpside || m_nCameraMode == kCameraFront))
            m_bModified = 1;
        bits = PadBits(id);
    }
    CamDrive(bits);
    m_wPadBits = bits;
    return 0;
}

LRESULT CCameraCommands::OnCameraMode(WPARAM mode)
{
    if (mode > kCameraFront || static_cast<int>(mode) == m_nCameraMode)
        return 0;
    // What the user set in the old stand position belongs to that position's preset.
    if (OnAutoPage())
        SaveCameraPosition();
    m_nCameraMode = static_cast<int>(mode);
    m_events.CameraModeChanged(m_nCameraMode);
    ApplyCameraPosition(TRUE);
    m_events.CameraStateChanged();
    return 0;
}

void CCameraCommands::CameraLost()
{
    m_nCameraMode = kNoCamera;
    m_events.CameraModeChanged(kNoCamera);
    m_events.CameraStateChanged();
}

LRESULT CCameraCommands::OnCameraLink(WPARAM up)
{
    if (up) {
        ApplyCameraPosition(FALSE);
        m_events.CameraStateChanged();
        return 0;
    }
    CloseCamera();
    CameraLost();
    return 0;
}

LRESULT CCameraCommands::OnCameraCommError()
{
    CloseCamera();
    m_events.ShowTrayMessage(kCommErrorMessage);
    CameraLost();
    return 0;
}

LRESULT CCameraCommands::OnTrackingDirection(WPARAM direction)
{
    if (m_settings.m_bTracking == 0 || !OnAutoPage())
        return 0;
    // 255 is silence: the centre preset. A byte a source passed through that names no
    // preset is dropped.
    const WPARAM d = direction == 255 ? kCentreDirection : direction;
    if (d > kCentreDirection)
        return 0;
    const auto index = static_cast<std::size_t>(d);
    if (m_nCameraMode == kCameraUpside && m_settings.m_nUpMode == 1)
        Send(1, m_settings.m_upPresets[index]);
    else if (m_nCameraMode == kCameraFront)
        Send(2, m_settings.m_frontPresets[index]);
    return 0;
}

void CCameraCommands::ManualViewButton(int button)
{
    switch (button) {
    case 1: SetUserMode(2, 90, 0, 180, 90); break;
    case 2: SetUserMode(3, -1, -1, -1, -1); break;
    case 3: SetUserMode(0, -1, -1, -1, -1); break;
    default: break;
    }
}

void CCameraCommands::OnViewButton(int button)
{
    if (!OnAutoPage()) {
        ManualViewButton(button);
        return;
    }
    switch (m_nCameraMode) {
    case kCameraRelease:
        if (button == 1)
            SetFreeZoom(90);
        break;
    case kCameraUpside:
        if (button == 1)
            SetUpsideMode(1, -1, -1, -1, -1, -1);
        else if (button == 2)
            SetUpsideMode(3, -1, -1, -1, -1, -1);
        else if (button == 3)
            SetUpsideMode(0, -1, -1, -1, -1, -1);
        break;
    case kCameraOhp:
        if (button == 1) {
            SetOhpZoom(100);
        } else if (button == 2) {
            // Rotate the picture a quarter turn: the roll steps 90, 0, 270, 180, 90...
            int r = m_settings.m_nOhpRoll / 90 - 1;
            if (r < 0)
                r = 3;
            SetOhpRoll(r * 90);
        }
        break;
    case kCameraFront: {
        const int direction = ClampDirection(m_settings.m_nFrontDirection);
        m_settings.m_nFrontDirection = direction;
        if (button == 1) {
            if (m_events.LoadFactoryFrontPreset(direction))
                ApplyCameraPosition(FALSE);
            else
                SetFrontPreset(direction, 90, 0, 90, 90);
            m_bModified = 1;
        } else if (button == 2) {
            SetFrontPreset(direction, 90, 0, 180, 90);
            m_bModified = 1;
        }
        break;
    }
    default:
        break;
    }
}
