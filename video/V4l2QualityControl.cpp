#include "video/V4l2QualityControl.h"

#include <linux/videodev2.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace {

int Ioctl(int fd, unsigned long request, void* arg)
{
    int rc;
    do
        rc = ::ioctl(fd, request, arg);
    while (rc == -1 && errno == EINTR);
    return rc;
}

} // namespace

double ControlValueToQuality(int value, int minimum, int maximum)
{
    if (maximum <= minimum)
        return 0.0;
    const double q = (static_cast<double>(value) - minimum) / (static_cast<double>(maximum) - minimum);
    return std::clamp(q, 0.0, 1.0);
}

int QualityToControlValue(double quality, int minimum, int maximum, int step)
{
    if (maximum <= minimum || std::isnan(quality))
        return minimum;
    const double span = static_cast<double>(maximum) - minimum;
    const double wanted = std::clamp(quality, 0.0, 1.0) * span;
    const double unit = step > 0 ? step : 1;
    const double value = minimum + std::round(wanted / unit) * unit;
    // The last step may overshoot a range that is not a whole number of steps.
    return static_cast<int>(std::clamp(value, static_cast<double>(minimum), static_cast<double>(maximum)));
}

std::unique_ptr<V4l2QualityControl> V4l2QualityControl::Open(const std::string& node)
{
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    v4l2_queryctrl query{};
    query.id = V4L2_CID_JPEG_COMPRESSION_QUALITY;
    const bool usable = Ioctl(fd, VIDIOC_QUERYCTRL, &query) == 0 && query.type == V4L2_CTRL_TYPE_INTEGER
        && !(query.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY)) && query.maximum > query.minimum;
    if (!usable) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<V4l2QualityControl>(new V4l2QualityControl(fd, query.minimum, query.maximum, query.step));
}

V4l2QualityControl::V4l2QualityControl(int fd, int minimum, int maximum, int step)
    : m_fd(fd), m_minimum(minimum), m_maximum(maximum), m_step(step)
{
}

V4l2QualityControl::~V4l2QualityControl()
{
    ::close(m_fd);
}

std::optional<double> V4l2QualityControl::GetQuality()
{
    v4l2_control control{};
    control.id = V4L2_CID_JPEG_COMPRESSION_QUALITY;
    if (Ioctl(m_fd, VIDIOC_G_CTRL, &control) != 0)
        return std::nullopt;
    return ControlValueToQuality(control.value, m_minimum, m_maximum);
}

bool V4l2QualityControl::PutQuality(double quality)
{
    v4l2_control control{};
    control.id = V4L2_CID_JPEG_COMPRESSION_QUALITY;
    control.value = QualityToControlValue(quality, m_minimum, m_maximum, m_step);
    return Ioctl(m_fd, VIDIOC_S_CTRL, &control) == 0;
}
