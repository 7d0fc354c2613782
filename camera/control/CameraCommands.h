#pragma once
// The controller's camera side: turns the camera's stand position and the taught settings
// into calls of the camera library, drives the camera from the pads and reads its actual
// position back into the settings, which is how the presets are taught.
//
// Plain C++ over the camera library's C functions; the owner (the controller session) hands
// in the settings record, its "modified" flag and a receiver for what the user must see.
#include "camera/control/CameraCommandEvents.h"
#include "platform/WinTypes.h"

#include <string>

class CCameraSettings;
class CCameraPosition;

// Stand positions the camera reports, and "no camera".
constexpr int kCameraRelease = 0;
constexpr int kCameraUpside = 1;
constexpr int kCameraOhp = 2;
constexpr int kCameraFront = 3;
constexpr int kNoCamera = 255;

// Pages of the controller (CCameraSettings::m_nMode).
constexpr int kAutoPage = 0;
constexpr int kManualPage = 1;

constexpr int kCentreDirection = 6;

class CCameraCommands
{
public:
    CCameraCommands(CCameraSettings& settings, int& bModified, CameraCommandEvents& events);

    // 1 when the camera was opened on port; 0 when no camera is present. The library
    // reports the link and the stand position to mainWnd.
    int OpenCamera(const std::string& port, HWND mainWnd);
    void CloseCamera();

    // Reads the camera's position back into the preset in force (see the .cpp for which).
    void SaveCameraPosition();
    // Sends the setting that belongs to the page, stand position and direction. Unless
    // forced, leaves the camera alone while tracking drives it.
    void ApplyCameraPosition(BOOL bForce);

    // Setters used by the pages' view buttons; each ends with an unforced apply.
    void SetUpsideMode(int mode, int flag, int pan, int tilt, int zoom, int roll);
    void SetFrontPreset(int direction, int pan, int tilt, int zoom, int roll);
    void SetOhpZoom(int zoom);
    void SetOhpRoll(int roll);
    void SetFreeZoom(int zoom);
    void SetUserMode(int mode, int pan, int tilt, int zoom, int roll);

    // WM_PAD_BUTTON: id of the pad button, pressed 1 to start the motion, else stop.
    LRESULT OnPadButton(WPARAM id, LPARAM pressed);
    // WM_CAMERA_MODE: the stand position 0..3 the camera reports.
    LRESULT OnCameraMode(WPARAM mode);
    // WM_CAMERA_LINK: nonzero link up, 0 link lost.
    LRESULT OnCameraLink(WPARAM up);
    // WM_CAMERA_COMM_ERROR.
    LRESULT OnCameraCommError();

    // WM_TRACKING_DIRECTION: moves to the preset of the talker's direction (255 = nobody,
    // the centre) while tracking on the Auto page; nothing is read back.
    LRESULT OnTrackingDirection(WPARAM direction);
    // The option buttons 1014, 1015 and 1016 (button 1, 2 or 3) of the selected page.
    void OnViewButton(int button);

    // Motion bits of a pad button id; 0 for an id without bits.
    static WORD PadBits(WPARAM id);

    // The camera side's state.
    int m_nCameraMode = kNoCamera;
    WORD m_wPadBits = 0;
    int m_nVideoFormat = 0;

private:
    bool OnAutoPage() const;
    // Tracking moves the camera itself: on the Auto page with tracking on in Upside or Front.
    bool TrackingHoldsCamera() const;
    CCameraPosition& UpPreset();
    CCameraPosition& FrontPreset();
    void ReadBackAll(CCameraPosition& p);
    void Send(int kind, const CCameraPosition& p);
    void StopPad();
    void CameraLost();
    void ManualViewButton(int button);

    CCameraSettings& m_settings;
    int& m_bModified;
    CameraCommandEvents& m_events;
};
