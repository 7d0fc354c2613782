#include "sim/uvc/UvcProfiles.h"

const std::vector<UvcProfile>& UvcProfiles()
{
    static const std::vector<UvcProfile> profiles = [] {
        std::vector<UvcProfile> p;
        // A motorised PTZ webcam: pan +-130 deg, tilt +-90 deg, zoom 0..100, with speed
        // controls whose lower end (-1) cannot drive a steady turn left or right.
        UvcProfile tiny;
        tiny.name = "tiny";
        tiny.card = "OBSBOT Tiny (virtual)";
        tiny.pan = SimControlRange{-468000, 468000, 3600};
        tiny.tilt = SimControlRange{-324000, 324000, 7200};
        tiny.zoom = SimControlRange{0, 100, 1};
        tiny.panSpeed = SimControlRange{-1, 160, 1};
        tiny.tiltSpeed = SimControlRange{-1, 120, 1};
        tiny.zoomSpeed = SimControlRange{0, 100, 1};
        p.push_back(tiny);
        // A webcam with digital pan and tilt (+-10 deg) and zoom 100..500, no speeds.
        UvcProfile c920;
        c920.name = "c920";
        c920.card = "HD Pro Webcam C920 (virtual)";
        c920.pan = SimControlRange{-36000, 36000, 3600};
        c920.tilt = SimControlRange{-36000, 36000, 3600};
        c920.zoom = SimControlRange{100, 500, 1};
        p.push_back(c920);
        // Zoom only, reporting the target of a move.
        UvcProfile zoom;
        zoom.name = "zoom-only";
        zoom.card = "Zoom-only webcam (virtual)";
        zoom.zoom = SimControlRange{100, 500, 1};
        zoom.reportsTarget = true;
        p.push_back(zoom);
        return p;
    }();
    return profiles;
}

const UvcProfile* FindUvcProfile(const std::string& name)
{
    for (const UvcProfile& p : UvcProfiles())
        if (p.name == name)
            return &p;
    return nullptr;
}
