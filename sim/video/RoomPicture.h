#pragma once
// What the virtual camera sees: a meeting room around the camera, drawn from its pan,
// tilt, zoom and roll. Walls with a window every 60 degrees of pan, a floor and a table
// below the horizon, and the six talkers' seats (numbered 1 to 6 at the directions 0 to 5)
// at eye height, so that the picture follows the camera as a real one would.
#include <cstdint>
#include <vector>

struct CameraPose
{
    double pan = 90;   // camera units 0..360, 180 straight ahead
    double tilt = 0;   // 0..79, degrees up
    double zoom = 90;  // 0 wide .. 180 tele
    double roll = 90;  // 0..270; 90 holds the horizon level

    bool operator==(const CameraPose&) const = default;
};

// The pan (camera units) at which the seat of talker direction 0..5 sits.
double SeatPan(int direction);

// Draws the room into a BGRx picture (4 bytes a pixel, rows of width * 4 bytes).
void DrawRoom(const CameraPose& pose, int width, int height, std::uint8_t* pixels);
