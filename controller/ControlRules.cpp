#include "controller/ControlRules.h"

#include "camera/control/CameraCommands.h"
#include "settings/CameraSettings.h"
#include "tracking/TrackingState.h"

ControlState MakeControlState(int page, int cameraMode, int deviceKind, const CCameraSettings& settings,
                              bool panTilt, bool zoom)
{
    return ControlState{page,         cameraMode, deviceKind, settings.m_bTracking != 0, settings.m_nUpMode,
                        settings.m_nUserMode, panTilt,    zoom};
}

namespace rules {

namespace {

bool OnAuto(const ControlState& s)
{
    return s.page == kAutoPage;
}

bool Directed(const ControlState& s)
{
    return s.cameraMode == kCameraUpside || s.cameraMode == kCameraFront;
}

bool IsZoomId(int id)
{
    return id == 1012 || id == 1013;
}

bool IsPadId(int id)
{
    return id >= 1003 && id <= 1011 && id != 1007;
}

} // namespace

bool HasCamera(const ControlState& s)
{
    return s.cameraMode >= kCameraRelease && s.cameraMode <= kCameraFront;
}

bool DeviceChoiceEnabled(const ControlState& s)
{
    return OnAuto(s) && !s.tracking;
}

bool PlacementEnabled(const ControlState& s)
{
    return DeviceChoiceEnabled(s) && s.deviceKind != kTrackingNone;
}

bool SelectorShown(const ControlState& s)
{
    return OnAuto(s) && Directed(s) && s.deviceKind > kTrackingNone && s.deviceKind <= kTrackingMicArray;
}

bool DirectionsEnabled(const ControlState& s)
{
    return SelectorShown(s) && !s.tracking;
}

bool KindHasDirection(int kind, int direction)
{
    if (direction < 0 || direction > kCentreDirection)
        return false;
    return kind != kTrackingQvt18TR || direction <= 2 || direction == kCentreDirection;
}

bool ViewButtonShown(const ControlState& s, int button)
{
    if (button < 1 || button > 3 || !HasCamera(s))
        return false;
    if (!OnAuto(s))
        return true;
    switch (s.cameraMode) {
    case kCameraRelease: return button == 1;
    case kCameraOhp:
    case kCameraFront: return button <= 2;
    default: return true;  // Upside
    }
}

bool ViewButtonEnabled(const ControlState& s, int button)
{
    if (!ViewButtonShown(s, button))
        return false;
    // In Upside and Front the buttons change what tracking is driving.
    return !(OnAuto(s) && Directed(s) && s.tracking);
}

namespace {

// The pad's rule before asking whether the camera has the axes.
bool PadAllowed(const ControlState& s)
{
    if (!HasCamera(s))
        return false;
    if (!OnAuto(s))
        return s.userMode == 2;
    switch (s.cameraMode) {
    case kCameraFront: return !s.tracking;
    case kCameraUpside: return s.upMode == 1 && !s.tracking;
    default: return false;  // Release and OHP only zoom
    }
}

} // namespace

bool PadEnabled(const ControlState& s)
{
    return s.panTilt && PadAllowed(s);
}

bool ZoomEnabled(const ControlState& s)
{
    if (!HasCamera(s) || !s.zoom)
        return false;
    if (OnAuto(s) && (s.cameraMode == kCameraRelease || s.cameraMode == kCameraOhp))
        return true;
    return PadAllowed(s);
}

bool HoldButtonEnabled(const ControlState& s, int id)
{
    if (IsZoomId(id))
        return ZoomEnabled(s);
    return IsPadId(id) && PadEnabled(s);
}

bool TalkerMoveAllowed(const ControlState& s)
{
    const bool presetsApply = (s.cameraMode == kCameraUpside && s.upMode == 1) || s.cameraMode == kCameraFront;
    return s.tracking && OnAuto(s) && presetsApply;
}

bool SettingFilesEnabled(const ControlState& s)
{
    return !s.tracking;
}

} // namespace rules
