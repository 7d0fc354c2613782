#pragma once
// What the virtual camera sees: a meeting room around the camera, drawn from its pan,
// tilt, zoom and roll. Walls with a window every 60 degrees of pan above the horizon, a
// floor and a table below it, and the six talkers (numbered 1 to 6 for the directions 0
// to 5) where a QVT-40S's factory presets look, so that the picture follows the camera,
// and the talker, as a real one would.
#include <cstdint>
#include <vector>

struct CameraPose
{
    double pan = 90;   // camera units 0..360, 180 straight ahead
    double tilt = 0;   // 0..79, degrees down from the horizon (the camera hangs above the table)
    double zoom = 90;  // 0 wide .. 180 tele
    double roll = 90;  // 0..270; level at 0 hanging upside down from the ceiling, else at 90
    int stand = 1;     // 0 Release, 1 Upside, 2 OHP, 3 Front

    bool operator==(const CameraPose&) const = default;
};

// Where the talker of direction 0..5 sits: pan and tilt (camera units) that centre them.
struct Seat
{
    double pan;
    double tilt;
};
Seat TalkerSeat(int direction);

// Draws the room into a BGRx picture (4 bytes a pixel, rows of width * 4 bytes).
void DrawRoom(const CameraPose& pose, int width, int height, std::uint8_t* pixels);
