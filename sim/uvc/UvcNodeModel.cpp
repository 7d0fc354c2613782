#include "sim/uvc/UvcNodeModel.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <linux/videodev2.h>
#include <sstream>

UvcNodeModel::UvcNodeModel(UvcProfile profile, TraceSink trace) : m_profile(std::move(profile)), m_trace(std::move(trace))
{
    const auto add = [this](unsigned id, const char* name, const std::optional<SimControlRange>& range, double perMs,
                            unsigned speedId) {
        if (!range)
            return;
        Control c{name, *range};
        // At rest in the middle of the range (0 for pan and tilt), zoom wide.
        c.target = id == V4L2_CID_ZOOM_ABSOLUTE ? range->min : Clamp(c, (range->min + range->max) / 2);
        c.position = c.target;
        c.perMs = perMs;
        c.speedId = speedId;
        m_controls[id] = c;
    };
    const UvcProfile& p = m_profile;
    add(V4L2_CID_PAN_ABSOLUTE, "pan-absolute", p.pan, kPanDegreesPerSecond * 3600 / 1000, p.panSpeed ? V4L2_CID_PAN_SPEED : 0);
    add(V4L2_CID_TILT_ABSOLUTE, "tilt-absolute", p.tilt, kTiltDegreesPerSecond * 3600 / 1000, p.tiltSpeed ? V4L2_CID_TILT_SPEED : 0);
    add(V4L2_CID_ZOOM_ABSOLUTE, "zoom-absolute", p.zoom, p.zoom ? (p.zoom->max - p.zoom->min) / kZoomTraverseMs : 0,
        p.zoomSpeed ? V4L2_CID_ZOOM_CONTINUOUS : 0);
    add(V4L2_CID_PAN_SPEED, "pan-speed", p.panSpeed, 0, 0);
    add(V4L2_CID_TILT_SPEED, "tilt-speed", p.tiltSpeed, 0, 0);
    add(V4L2_CID_ZOOM_CONTINUOUS, "zoom-continuous", p.zoomSpeed, 0, 0);
    for (unsigned id : {V4L2_CID_PAN_SPEED, V4L2_CID_TILT_SPEED, V4L2_CID_ZOOM_CONTINUOUS})
        if (m_controls.count(id))
            m_controls[id].target = m_controls[id].range.min > 0 ? m_controls[id].range.min : 0;
}

int UvcNodeModel::Clamp(const Control& c, long long value) const
{
    const long long step = std::max(1, c.range.step);
    const long long v = std::clamp<long long>(value, c.range.min, c.range.max);
    long long k = (v - c.range.min + step / 2) / step;
    while (c.range.min + k * step > c.range.max)
        --k;
    return static_cast<int>(c.range.min + k * step);
}

void UvcNodeModel::Advance(long long nowMs)
{
    const long long dt = m_lastMs < 0 ? 0 : std::max(0LL, nowMs - m_lastMs);
    m_lastMs = nowMs;
    for (auto& [id, c] : m_controls) {
        if (c.perMs <= 0)
            continue;
        const Control* speed = c.speedId ? &m_controls[c.speedId] : nullptr;
        if (speed && speed->target != 0) {
            // Driven: toward the end of the range at a share of full speed.
            const double share = std::min(1.0, std::abs(double(speed->target)) / std::max(1, speed->range.max));
            const double moved = c.position + (speed->target > 0 ? 1 : -1) * share * c.perMs * dt;
            c.position = std::clamp(moved, double(c.range.min), double(c.range.max));
            c.target = Clamp(c, std::llround(c.position));
            continue;
        }
        const double way = c.target - c.position;
        const double reach = c.perMs * dt;
        c.position = std::abs(way) <= reach ? c.target : c.position + (way > 0 ? reach : -reach);
    }
}

int UvcNodeModel::Value(unsigned id, long long nowMs)
{
    Advance(nowMs);
    const auto it = m_controls.find(id);
    if (it == m_controls.end())
        return 0;
    const Control& c = it->second;
    if (c.perMs <= 0 || m_profile.reportsTarget)
        return c.target;
    return Clamp(c, std::llround(c.position));
}

std::string UvcNodeModel::Status(long long nowMs)
{
    std::ostringstream out;
    out << "profile=" << m_profile.name;
    for (unsigned id : {V4L2_CID_PAN_ABSOLUTE, V4L2_CID_TILT_ABSOLUTE, V4L2_CID_ZOOM_ABSOLUTE})
        if (m_controls.count(id))
            out << " " << m_controls[id].name << "=" << Value(id, nowMs);
    return out.str();
}

namespace {

void CopyText(__u8* to, std::size_t size, const std::string& text)
{
    std::memset(to, 0, size);
    std::memcpy(to, text.data(), std::min(size - 1, text.size()));
}

} // namespace

int UvcNodeModel::Ioctl(unsigned long request, void* data, long long nowMs)
{
    Advance(nowMs);
    switch (request) {
    case VIDIOC_QUERYCAP: {
        auto* cap = static_cast<v4l2_capability*>(data);
        std::memset(cap, 0, sizeof *cap);
        CopyText(cap->driver, sizeof cap->driver, "uvcvideo");
        CopyText(cap->card, sizeof cap->card, m_profile.card);
        CopyText(cap->bus_info, sizeof cap->bus_info, "fuse:qvt-vz1-sim");
        cap->version = 0x060100;
        cap->device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        cap->capabilities = cap->device_caps | V4L2_CAP_DEVICE_CAPS;
        return 0;
    }
    case VIDIOC_QUERYCTRL: {
        auto* q = static_cast<v4l2_queryctrl*>(data);
        auto it = m_controls.end();
        if (q->id & V4L2_CTRL_FLAG_NEXT_CTRL)
            it = m_controls.upper_bound(q->id & ~(V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND));
        else
            it = m_controls.find(q->id);
        if (it == m_controls.end())
            return -EINVAL;
        const Control& c = it->second;
        std::memset(q, 0, sizeof *q);
        q->id = it->first;
        q->type = V4L2_CTRL_TYPE_INTEGER;
        CopyText(q->name, sizeof q->name, c.name);
        q->minimum = c.range.min;
        q->maximum = c.range.max;
        q->step = c.range.step;
        q->default_value = c.perMs > 0 ? c.target : 0;
        return 0;
    }
    case VIDIOC_G_CTRL: {
        auto* control = static_cast<v4l2_control*>(data);
        if (!m_controls.count(control->id))
            return -EINVAL;
        control->value = Value(control->id, nowMs);
        return 0;
    }
    case VIDIOC_S_CTRL: {
        auto* control = static_cast<v4l2_control*>(data);
        const auto it = m_controls.find(control->id);
        if (it == m_controls.end())
            return -EINVAL;
        Control& c = it->second;
        // As uvcvideo: a value outside the range is clamped onto it and its step.
        c.target = Clamp(c, control->value);
        control->value = c.target;
        // An absolute move ends a drive of its axis; a drive replaces the axis's target.
        if (c.perMs > 0 && c.speedId)
            m_controls[c.speedId].target = 0;
        for (auto& [id, other] : m_controls)
            if (other.speedId == it->first)
                other.target = Clamp(other, std::llround(other.position));
        if (m_trace)
            m_trace(std::string(c.name) + " value=" + std::to_string(c.target));
        return 0;
    }
    default:
        return -ENOTTY;
    }
}
