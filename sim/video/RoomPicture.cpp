#include "sim/video/RoomPicture.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Color
{
    std::uint8_t b, g, r;
};

constexpr Color kWall{150, 186, 205};
constexpr Color kWindow{235, 205, 140};
constexpr Color kFloor{70, 95, 120};
constexpr Color kTable{40, 70, 110};
constexpr Color kSeat{60, 60, 175};
constexpr Color kDigit{255, 255, 255};

// Field of view across the picture: 120 degrees wide, a fifth of it at full tele.
double FieldOfView(double zoom) { return 120.0 * std::pow(0.2, std::clamp(zoom, 0.0, 180.0) / 180.0); }

// Degrees from a to b, in -180..180.
double AngleBetween(double a, double b) { return std::remainder(b - a, 360.0); }

// Seven segments of a digit in a unit cell (x 0..1, y 0..2, y down): a b c d e f g.
constexpr std::array<std::uint8_t, 10> kSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

bool OnDigit(int digit, double x, double y)
{
    constexpr double t = 0.22;  // stroke
    const std::uint8_t on = kSegments[static_cast<std::size_t>(digit)];
    const bool horizontal = x >= 0 && x <= 1;
    const auto near = [t](double v, double at) { return std::abs(v - at) <= t / 2; };
    return ((on & 0x01) && horizontal && near(y, 0)) || ((on & 0x40) && horizontal && near(y, 1))
        || ((on & 0x08) && horizontal && near(y, 2)) || ((on & 0x02) && near(x, 1) && y >= 0 && y <= 1)
        || ((on & 0x04) && near(x, 1) && y >= 1 && y <= 2) || ((on & 0x20) && near(x, 0) && y >= 0 && y <= 1)
        || ((on & 0x10) && near(x, 0) && y >= 1 && y <= 2);
}

} // namespace

Seat TalkerSeat(int direction)
{
    static constexpr Seat kSeats[6] = {{266, 37}, {174, 53}, {130, 74}, {94, 74}, {51, 68}, {1, 50}};
    return kSeats[std::clamp(direction, 0, 5)];
}

void DrawRoom(const CameraPose& pose, int width, int height, std::uint8_t* pixels)
{
    const double degPerPixel = FieldOfView(pose.zoom) / width;
    // The camera's own image turn undoes its hanging upside down at roll 0.
    const double level = pose.stand == 1 ? 0.0 : 90.0;
    const double roll = (pose.roll - level) * kPi / 180.0;
    const double cosR = std::cos(roll), sinR = std::sin(roll);
    constexpr double kSeatRadius = 7.0;  // degrees
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            // The picture's point turned back by the roll, then as angles of the room.
            const double dx = x - width / 2.0, dy = y - height / 2.0;
            const double u = dx * cosR + dy * sinR, v = -dx * sinR + dy * cosR;
            const double azimuth = pose.pan + u * degPerPixel;
            const double elevation = -pose.tilt - v * degPerPixel;
            Color c = kWall;
            if (elevation < -45)
                c = kTable;
            else if (elevation < 0)
                // Boards every 15 degrees, so that a pan over the floor shows.
                c = std::fmod(azimuth + 360.0, 15.0) < 1.0 ? kTable : kFloor;
            else if (elevation > 8 && elevation < 35
                     && std::abs(AngleBetween(std::floor(azimuth / 60.0) * 60.0 + 30.0, azimuth)) < 12)
                c = kWindow;
            for (int seat = 0; seat < 6; ++seat) {
                const Seat at = TalkerSeat(seat);
                const double sx = AngleBetween(at.pan, azimuth), sy = elevation + at.tilt;
                if (sx * sx + sy * sy > kSeatRadius * kSeatRadius)
                    continue;
                c = OnDigit(seat + 1, (sx + 2.0) / 4.0, (-sy + 4.0) / 4.0) ? kDigit : kSeat;
            }
            row[x * 4 + 0] = c.b;
            row[x * 4 + 1] = c.g;
            row[x * 4 + 2] = c.r;
            row[x * 4 + 3] = 255;
        }
    }
}
