#pragma once
// What may be used now: one rule set over the controller's state that the dialog, the pages
// and the remote interfaces all ask, so that a greyed control and a refused verb always
// agree. Plain C++: the state is a snapshot of values, the answers are booleans.

// The controller's state as the rules see it.
struct ControlState
{
    int page = 0;          // 0 Auto, 1 Manual
    int cameraMode = 255;  // stand position 0..3, anything else: no camera
    int deviceKind = 0;    // tracking source kind, 0 none
    bool tracking = false;
    int upMode = 3;        // Upside framing: 0 view 0, 1 direction presets, 3 view 3
    int userMode = 3;      // Manual framing: 0 view 0, 2 explicit position, 3 view 3
    bool panTilt = true;   // the camera has pan and tilt (a USB camera may have zoom only)
    bool zoom = true;      // the camera has zoom
};

class CCameraSettings;

// The state of page with the camera in cameraMode and deviceKind chosen, the rest (tracking,
// framings) from settings; panTilt and zoom: the axes the camera has.
ControlState MakeControlState(int page, int cameraMode, int deviceKind, const CCameraSettings& settings,
                              bool panTilt = true, bool zoom = true);

namespace rules {

// A stand position the camera reported (0..3); anything else is no camera.
bool HasCamera(const ControlState& s);
// "Device Name": on the Auto page while tracking is off.
bool DeviceChoiceEnabled(const ControlState& s);
// "VZ1 Position" and "Reverse": as the device choice, with a speakerphone chosen.
bool PlacementEnabled(const ControlState& s);
// The direction selector (top view, radios, "Enable Tracking"): on the Auto page in
// Upside or Front with a speakerphone chosen.
bool SelectorShown(const ControlState& s);
// Its radios: while the selector is shown and tracking is off.
bool DirectionsEnabled(const ControlState& s);
// Whether kind's speakerphone has a radio for direction (0..6): the triangle has 0, 1, 2
// and the centre; every other kind all seven.
bool KindHasDirection(int kind, int direction);

// The option buttons 1..3 of the page on screen: shown, and usable.
bool ViewButtonShown(const ControlState& s, int button);
bool ViewButtonEnabled(const ControlState& s, int button);
// The eight-way pad and the zoom pair of the page on screen; grey for an axis the camera
// lacks.
bool PadEnabled(const ControlState& s);
bool ZoomEnabled(const ControlState& s);
// The pad button id (1003..1013) of the page on screen: usable now.
bool HoldButtonEnabled(const ControlState& s, int id);

// Sending the camera to a direction as a talker would: only while tracking drives it.
bool TalkerMoveAllowed(const ControlState& s);
// Export and import of setting files: not while tracking runs.
bool SettingFilesEnabled(const ControlState& s);

} // namespace rules
