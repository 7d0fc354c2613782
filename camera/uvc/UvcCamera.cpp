#include "camera/uvc/UvcCamera.h"

#include "camera/LinkPost.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

#include <algorithm>
#include <cerrno>
#include <utility>
#include <linux/videodev2.h>

namespace {

constexpr int kUp = 8, kDown = 4, kLeft = 2, kRight = 1, kTele = 16, kWide = 32;
constexpr int kPanAxis = 0, kTiltAxis = 1, kZoomAxis = 2;
// The pads' pace where the camera has no speed control: degrees a second for pan and
// tilt, and wide to tele in three seconds, as the virtual VISCA camera moves.
constexpr int kStepDegreesPerSecond = 30;
constexpr int kZoomTraverseMs = 3000;

int Direction(int bits, int plus, int minus)
{
    const int both = bits & (plus | minus);
    return both == plus ? 1 : both == minus ? -1 : 0;
}

// The speed a pad drives with: half the control's top, on its step. The control is used
// only when it also goes as far the other way (a control of speeds 0..n cannot turn left).
std::optional<int> PadSpeed(const std::optional<UvcControl>& speed)
{
    if (!speed || speed->range.max <= 0)
        return std::nullopt;
    const int magnitude = uvc_units::OnStep(std::max(1, speed->range.max / 2), speed->range);
    if (magnitude <= 0 || speed->range.min > -magnitude)
        return std::nullopt;
    return magnitude;
}

} // namespace

// The absolute controls stepped while a pad of a camera without speed controls is held:
// shared with the device's thread, which does the stepping.
struct UvcCamera::Stepping
{
    struct Axis
    {
        unsigned id = 0;
        UvcRange range;
        int direction = 0;
        double target = 0;
        double perTick = 0;
    };
    std::mutex mutex;
    Axis axes[3];

    bool Any()
    {
        std::lock_guard lock(mutex);
        return std::any_of(std::begin(axes), std::end(axes), [](const Axis& a) { return a.direction != 0; });
    }

    void Tick(int fd)
    {
        std::pair<unsigned, int> sets[3];
        int n = 0;
        {
            std::lock_guard lock(mutex);
            for (Axis& a : axes) {
                if (a.direction == 0)
                    continue;
                a.target = std::clamp(a.target + a.direction * a.perTick, double(a.range.min), double(a.range.max));
                sets[n++] = {a.id, uvc_units::OnStep(static_cast<long long>(a.target), a.range)};
            }
        }
        // Outside the lock: a node that hangs here must not hold the pads' thread.
        for (int i = 0; i < n; ++i)
            UvcDevice::SetOn(fd, sets[i].first, sets[i].second);
    }
};

UvcCamera::UvcCamera(UvcTiming timing) : m_timing(timing), m_stepping(std::make_shared<Stepping>()) {}

UvcCamera::~UvcCamera()
{
    Close();
}

bool UvcCamera::Open(const CameraConnection& connection, HWND wnd, UINT linkMsg, UINT modeMsg)
{
    Close();
    auto device = UvcDevice::Open(connection.uvcDevice, m_timing.callTimeoutMs);
    const auto identity = device ? device->QueryCap() : std::nullopt;
    const auto axes = identity && identity->capture ? ReadUvcAxes(*device) : std::nullopt;
    if (!axes || !axes->Usable()) {
        PostMessage(wnd, WM_CAMERA_COMM_ERROR, 0, 0);
        return false;
    }
    {
        std::lock_guard lock(m_mutex);
        m_axes = *axes;
    }
    m_device = std::move(device);
    m_connection = connection;
    m_wnd = wnd;
    m_linkMsg = linkMsg;
    m_lostPosted = false;
    m_driveBits = 0;
    Post(linkMsg, 1);
    Post(modeMsg, static_cast<WPARAM>(connection.FramingStand()));
    return true;
}

void UvcCamera::Close()
{
    ++*m_generation;
    {
        std::lock_guard lock(m_stepping->mutex);
        for (auto& a : m_stepping->axes)
            a.direction = 0;
    }
    m_device.reset();
    m_wnd = nullptr;
}

bool UvcCamera::IsOpen() const { return m_device != nullptr; }

bool UvcCamera::IsUsable() const { return m_device && !m_device->Lost(); }

void UvcCamera::Post(UINT msg, WPARAM wParam)
{
    if (m_wnd)
        PostForLink(m_wnd, msg, wParam, m_generation);
}

void UvcCamera::Failed(const UvcCall& call)
{
    // Unplugged, or the server gone or hung: as a serial hang-up. Told once per open.
    if (!m_lostPosted && UvcDevice::IsLinkLoss(call.error)) {
        m_lostPosted = true;
        Post(m_linkMsg, 0);
    }
}

bool UvcCamera::DriveAxis(const std::optional<UvcControl>& absolute, const std::optional<UvcControl>& speed,
                          int direction, int axis)
{
    if (!absolute)
        return direction == 0;  // a missing axis: nothing to move, nothing to stop
    if (const auto pace = PadSpeed(speed)) {
        const UvcCall call = m_device->Set(speed->id, direction * *pace);
        Failed(call);
        return call.ok;
    }
    bool wasStepping;
    {
        std::lock_guard lock(m_stepping->mutex);
        wasStepping = m_stepping->axes[axis].direction != 0;
        m_stepping->axes[axis] = {};  // no more steps from here on
    }
    // Stepping starts, and a release stops, where the camera says it is: a camera still on
    // its way to the last step stops at once instead of going on to it.
    if (direction == 0 && !wasStepping)
        return true;
    const UvcCall now = m_device->Get(absolute->id);
    if (!now.ok) {
        Failed(now);
        return false;
    }
    if (direction == 0) {
        const UvcCall stop = m_device->Set(absolute->id, now.value);
        Failed(stop);
        return stop.ok;
    }
    const double span = double(absolute->range.max) - absolute->range.min;
    const double perTick = axis == kZoomAxis ? span * m_timing.stepMs / kZoomTraverseMs
                                             : double(kStepDegreesPerSecond) * uvc_units::kArcSecondsPerDegree * m_timing.stepMs / 1000;
    std::lock_guard lock(m_stepping->mutex);
    m_stepping->axes[axis] = {absolute->id, absolute->range, direction, double(now.value), perTick};
    return true;
}

bool UvcCamera::Drive(int bits)
{
    if (!IsUsable())
        return false;
    UvcAxes axes;
    {
        std::lock_guard lock(m_mutex);
        axes = m_axes;
    }
    int pan = Direction(bits, kRight, kLeft);
    int tilt = Direction(bits, kUp, kDown);
    if (m_connection.customModel.panReversed)
        pan = -pan;
    if (m_connection.customModel.tiltReversed)
        tilt = -tilt;
    const int zoom = Direction(bits, kTele, kWide);
    const int last = m_driveBits;
    m_driveBits = bits;
    // Only the axes that move or moved are sent; 0 stops all, whatever we believe moves.
    const auto touched = [&](int mask) { return (bits & mask) || (last & mask) || bits == 0; };
    bool ok = true;
    if (touched(kLeft | kRight))
        ok = DriveAxis(axes.pan, axes.panSpeed, pan, kPanAxis) && ok;
    if (touched(kUp | kDown))
        ok = DriveAxis(axes.tilt, axes.tiltSpeed, tilt, kTiltAxis) && ok;
    if (touched(kTele | kWide))
        ok = DriveAxis(axes.zoom, axes.zoomSpeed, zoom, kZoomAxis) && ok;
    if (m_stepping->Any())
        m_device->SetTick([stepping = m_stepping](int fd) { stepping->Tick(fd); }, m_timing.stepMs);
    else
        m_device->SetTick({}, 0);
    return ok;
}

bool UvcCamera::SetPosition(int pan, int tilt, int zoom)
{
    if (!IsUsable())
        return false;
    UvcAxes axes;
    {
        std::lock_guard lock(m_mutex);
        axes = m_axes;
    }
    // A move replaces a pad's stepping.
    {
        std::lock_guard lock(m_stepping->mutex);
        for (auto& a : m_stepping->axes)
            a.direction = 0;
    }
    m_device->SetTick({}, 0);
    const auto send = [this](const std::optional<UvcControl>& control, int value) {
        if (!control)
            return true;
        const UvcCall call = m_device->Set(control->id, value);
        Failed(call);
        return call.ok;
    };
    bool ok = true;
    if (axes.PanTilt()) {
        ok = send(axes.pan, uvc_units::PanToValue(pan, axes.pan->range, m_connection.customModel.panReversed)) && ok;
        ok = ok && send(axes.tilt, uvc_units::TiltToValue(tilt, axes.tilt->range, m_connection.customModel.tiltReversed));
    }
    if (axes.zoom)
        ok = ok && send(axes.zoom, uvc_units::ZoomToValue(zoom, axes.zoom->range));
    return ok;
}

bool UvcCamera::SelectView(int view)
{
    // The camera keeps no views: the QVT-VZ1's two built-in framings as poses, facing
    // the centre of the camera's range: the whole table wide, one participant closer.
    if (view == 0)
        return SetPosition(180, 0, 0);
    if (view == 3)
        return SetPosition(180, 0, 120);
    return false;
}

std::optional<int> UvcCamera::ReadBack(std::optional<UvcControl> UvcAxes::*axis,
                                       std::optional<int> (*from)(int value, const UvcRange& range, bool reversed),
                                       bool reversed)
{
    std::optional<UvcControl> control;
    {
        std::lock_guard lock(m_mutex);
        control = m_axes.*axis;
    }
    if (!IsUsable() || !control)
        return std::nullopt;  // a missing axis fails without asking
    const UvcCall call = m_device->Get(control->id);
    if (!call.ok) {
        Failed(call);
        return std::nullopt;
    }
    return from(call.value, control->range, reversed);
}

std::optional<int> UvcCamera::Pan()
{
    return ReadBack(&UvcAxes::pan, uvc_units::PanFromValue, m_connection.customModel.panReversed);
}

std::optional<int> UvcCamera::Tilt()
{
    return ReadBack(&UvcAxes::tilt, uvc_units::TiltFromValue, m_connection.customModel.tiltReversed);
}

std::optional<int> UvcCamera::Zoom()
{
    return ReadBack(&UvcAxes::zoom, [](int v, const UvcRange& r, bool) { return uvc_units::ZoomFromValue(v, r); }, false);
}

bool UvcCamera::Answers()
{
    if (!IsUsable())
        return false;
    if (m_device->QueryCap())
        return true;
    Failed({false, m_device->Lost() ? ETIMEDOUT : 0, 0});
    return false;
}

CameraCapabilities UvcCamera::Capabilities() const
{
    CameraCapabilities caps;
    caps.roll = caps.stand = caps.videoFormat = caps.firmware = false;
    std::lock_guard lock(m_mutex);
    if (m_axes.Usable()) {
        caps.panTilt = m_axes.PanTilt();
        caps.zoom = m_axes.zoom.has_value();
    }
    return caps;
}

CameraProbe UvcCamera::Probe(const CameraConnection& connection, UvcTiming timing)
{
    CameraProbe probe;
    if (connection.uvcDevice.empty()) {
        probe.error = "no capture node chosen";
        return probe;
    }
    auto device = UvcDevice::Open(connection.uvcDevice, timing.callTimeoutMs, &probe.error);
    if (!device)
        return probe;
    const auto identity = device->QueryCap();
    if (!identity || !identity->capture) {
        probe.error = connection.uvcDevice + (identity ? ": not a video capture node" : ": no answer to VIDIOC_QUERYCAP");
        return probe;
    }
    const auto axes = ReadUvcAxes(*device);
    if (!axes || !axes->Usable()) {
        probe.error = connection.uvcDevice + ": no pan, tilt or zoom control";
        return probe;
    }
    probe.ok = probe.answered = true;
    probe.vendor = identity->driver;
    probe.model = identity->card;
    return probe;
}
