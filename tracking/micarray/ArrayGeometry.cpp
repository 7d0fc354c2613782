#include "tracking/micarray/ArrayGeometry.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int kMaxMics = 16;
constexpr double kMaxExtent = 1.0;

bool ParseNumber(const std::string& text, double* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(*value);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

bool Sound(const ArrayGeometry& g)
{
    if (g.Channels() < 2 || g.Channels() > kMaxMics)
        return false;
    for (std::size_t i = 0; i < g.mics.size(); ++i) {
        if (std::hypot(g.mics[i].x, g.mics[i].y) > kMaxExtent)
            return false;
        for (std::size_t j = i + 1; j < g.mics.size(); ++j)
            if (std::hypot(g.mics[i].x - g.mics[j].x, g.mics[i].y - g.mics[j].y) < 1e-4)
                return false;
    }
    return true;
}

} // namespace

bool ArrayGeometry::IsLinear() const
{
    if (mics.size() < 3)
        return true;
    const double dx = mics[1].x - mics[0].x, dy = mics[1].y - mics[0].y;
    for (std::size_t i = 2; i < mics.size(); ++i) {
        const double cross = dx * (mics[i].y - mics[0].y) - dy * (mics[i].x - mics[0].x);
        if (std::abs(cross) > 1e-9)
            return false;
    }
    return true;
}

ArrayGeometry CircularArray(int count, double radius)
{
    ArrayGeometry g;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * i / count;
        g.mics.push_back({radius * std::cos(a), radius * std::sin(a)});
    }
    return g;
}

ArrayGeometry LinearArray(int count, double spacing)
{
    ArrayGeometry g;
    for (int i = 0; i < count; ++i)
        g.mics.push_back({spacing * i, 0.0});
    return g;
}

std::optional<ArrayGeometry> ParseArrayGeometry(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, ':');
    if (parts.size() != 2 && parts.size() != 3)
        return std::nullopt;
    ArrayGeometry g;
    if (parts[0] == "custom" && parts.size() == 2) {
        for (const std::string& mic : Split(parts[1], ';')) {
            const std::vector<std::string> xy = Split(mic, ',');
            MicPosition p;
            if (xy.size() != 2 || !ParseNumber(xy[0], &p.x) || !ParseNumber(xy[1], &p.y))
                return std::nullopt;
            g.mics.push_back(p);
        }
    } else if ((parts[0] == "circular" || parts[0] == "linear") && parts.size() == 3) {
        double count = 0, distance = 0;
        if (!ParseNumber(parts[1], &count) || count != std::floor(count) || count < 2 || count > kMaxMics
            || !ParseNumber(parts[2], &distance) || distance <= 0 || distance > kMaxExtent)
            return std::nullopt;
        g = parts[0] == "circular" ? CircularArray(int(count), distance) : LinearArray(int(count), distance);
    } else {
        return std::nullopt;
    }
    if (!Sound(g))
        return std::nullopt;
    return g;
}
