#include "camera/ViscaUnits.h"

#include <algorithm>
#include <cmath>

namespace visca_units {
namespace {

// Rounds a wire value to the nearest camera unit; the wire is finer than the units, so
// every unit survives the round trip.
std::optional<int> ToUnit(double units, int max)
{
    const int rounded = static_cast<int>(std::lround(units));
    if (rounded < 0 || rounded > max)
        return std::nullopt;
    return rounded;
}

} // namespace

int PanToWire(int pan) { return (std::clamp(pan, 0, kPanMax) - 180) * 10; }
int TiltToWire(int tilt) { return std::clamp(tilt, 0, kTiltMax) * 10; }
int ZoomToWire(int zoom)
{
    return static_cast<int>(std::lround(std::clamp(zoom, 0, kZoomMax) * double(kZoomWireMax) / kZoomMax));
}
int RollToWire(int roll) { return std::clamp(roll, 0, kRollMax) * 10; }

double PanFromWireExact(int wire) { return wire / 10.0 + 180.0; }
double TiltFromWireExact(int wire) { return wire / 10.0; }
double ZoomFromWireExact(int wire) { return wire * double(kZoomMax) / kZoomWireMax; }
double RollFromWireExact(int wire) { return wire / 10.0; }

std::optional<int> PanFromWire(int wire) { return ToUnit(PanFromWireExact(wire), kPanMax); }
std::optional<int> TiltFromWire(int wire) { return ToUnit(TiltFromWireExact(wire), kTiltMax); }
std::optional<int> ZoomFromWire(int wire) { return ToUnit(ZoomFromWireExact(wire), kZoomMax); }
std::optional<int> RollFromWire(int wire) { return ToUnit(RollFromWireExact(wire), kRollMax); }

} // namespace visca_units
