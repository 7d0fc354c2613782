#pragma once
// What the virtual USB camera's node answers: VIDIOC_QUERYCAP (driver "uvcvideo"),
// VIDIOC_QUERYCTRL (also the enumeration with V4L2_CTRL_FLAG_NEXT_CTRL), VIDIOC_G_CTRL and
// VIDIOC_S_CTRL over the controls of a profile. The camera moves at a finite speed toward
// an absolute target or while a speed control drives it; time is handed in. Every control
// set is traced ("pan-absolute value=36000"). Plain C++: the FUSE server calls it.
#include "sim/uvc/UvcProfiles.h"

#include <functional>
#include <map>
#include <string>

class UvcNodeModel
{
public:
    using TraceSink = std::function<void(const std::string&)>;
    UvcNodeModel(UvcProfile profile, TraceSink trace);

    // One restricted ioctl: data holds the argument (in and out). 0 or a negative errno.
    int Ioctl(unsigned long request, void* data, long long nowMs);

    // The current value of a control (its position while it moves), for status and tests.
    int Value(unsigned id, long long nowMs);
    const UvcProfile& Profile() const { return m_profile; }
    std::string Status(long long nowMs);

    // Full-range speeds: degrees a second for pan and tilt, the whole zoom range in ms.
    static constexpr double kPanDegreesPerSecond = 60;
    static constexpr double kTiltDegreesPerSecond = 30;
    static constexpr double kZoomTraverseMs = 3000;

private:
    struct Control
    {
        const char* name;  // as traced
        SimControlRange range;
        double position = 0;  // absolute controls: where the camera is
        int target = 0;       // absolute: where it goes; speed: the value set
        double perMs = 0;     // absolute: how fast it travels at full speed
        unsigned speedId = 0; // absolute: the speed control that drives it, if any
    };
    void Advance(long long nowMs);
    int Clamp(const Control& c, long long value) const;

    UvcProfile m_profile;
    TraceSink m_trace;
    std::map<unsigned, Control> m_controls;
    long long m_lastMs = -1;
};
