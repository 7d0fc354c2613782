#pragma once
// What the virtual camera holds: its position in the camera's units (fractional while it
// moves), the motion it was driven into, the stand position, firmware version and video
// format. Time is handed in, so the motion is tested without waiting.
#include <string>

struct CameraModel
{
    double pan = 90;
    double tilt = 0;
    double zoom = 90;
    double roll = 90;

    int panDirection = 0;   // -1 left, +1 right
    int tiltDirection = 0;  // +1 up, -1 down
    int zoomDirection = 0;  // +1 tele, -1 wide
    int panSpeed = 0x0C;    // VISCA speed of the last drive
    int tiltSpeed = 0x0A;

    // The ends of the pan and tilt travel in the camera's units (the model's range).
    double panMin = 0, panMax = 360, tiltMin = 0, tiltMax = 79;

    int stand = 1;  // 0 Release, 1 Upside, 2 OHP, 3 Front
    std::string version = "2.03";
    int videoFormat = 0;           // 0 NTSC, 1 PAL
    int committedVideoFormat = 0;  // what survives a restart

    // Degrees per second per step of the VISCA speed, and zoom units per second.
    static constexpr double kPanDegreesPerSpeed = 5.0;   // 0x0C: 60 degrees a second
    static constexpr double kTiltDegreesPerSpeed = 3.0;  // 0x0A: 30 degrees a second
    static constexpr double kZoomUnitsPerSecond = 60.0;  // wide to tele in 3 seconds

    // Moves by the time since the last call; stops an axis at its end.
    void Advance(long long nowMs);
    bool Moving() const { return panDirection || tiltDirection || zoomDirection; }
    void StopAll() { panDirection = tiltDirection = zoomDirection = 0; }

    // The pan-tilt motion as CamDrive's bits (8 up, 4 down, 2 left, 1 right).
    int PanTiltBits() const;
    // The zoom motion as CamDrive's bits (16 tele, 32 wide).
    int ZoomBits() const;

    long long lastAdvanceMs = -1;
};

// "release", "upside", "ohp", "front" <-> 0..3; -1 / "" for anything else.
int StandFromName(const std::string& name);
const char* StandName(int stand);
