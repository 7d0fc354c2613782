#pragma once
// The virtual USB camera's control sets: the ranges real cameras publish in their
// `v4l2-ctl -L` listings (docs/cameras.md names the sources), and one with zoom only.
#include <optional>
#include <string>
#include <vector>

struct SimControlRange
{
    int min = 0, max = 0, step = 1;
};

struct UvcProfile
{
    std::string name;  // --uvc-profile
    std::string card;  // VIDIOC_QUERYCAP's card
    std::optional<SimControlRange> pan, tilt, zoom;                // the absolute controls
    std::optional<SimControlRange> panSpeed, tiltSpeed, zoomSpeed;  // pan/tilt speed, zoom continuous
    // VIDIOC_G_CTRL of an absolute control reports the target of a move at once (some
    // cameras do) instead of where the camera is on its way.
    bool reportsTarget = false;
};

const std::vector<UvcProfile>& UvcProfiles();  // the default first
const UvcProfile* FindUvcProfile(const std::string& name);
