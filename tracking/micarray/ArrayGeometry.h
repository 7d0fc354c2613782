#pragma once
// Where the microphones of an array sit, in metres, seen from above. Microphone 0 of a
// circular array lies on the x axis and the others follow counterclockwise; a linear array
// lies along the x axis from microphone 0. Angles are counterclockwise from the x axis.
#include <optional>
#include <string>
#include <vector>

struct MicPosition
{
    double x = 0;
    double y = 0;
};

struct ArrayGeometry
{
    std::vector<MicPosition> mics;

    int Channels() const { return static_cast<int>(mics.size()); }
    // All microphones on one straight line: front and back cannot be told apart, so
    // directions cover the half-plane 0..180 degrees only.
    bool IsLinear() const;
};

ArrayGeometry CircularArray(int count, double radius);
ArrayGeometry LinearArray(int count, double spacing);

// "circular:N:RADIUS", "linear:N:SPACING" or "custom:X0,Y0;X1,Y1;..." (metres). 2 to 16
// microphones, distances above 0 and at most 1 m, no two microphones at one place.
std::optional<ArrayGeometry> ParseArrayGeometry(const std::string& text);
