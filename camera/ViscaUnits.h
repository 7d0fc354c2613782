#pragma once
// The one place where the camera's units meet the protocol's values.
//
// Camera units (what the controller stores and passes): pan 0..360, tilt 0..79,
// zoom 0..180, roll 0..270. On the wire:
//   pan   signed 16-bit, tenths of a degree from the centre 180: (pan - 180) * 10
//   tilt  signed 16-bit, tenths of a degree: tilt * 10
//   zoom  unsigned 0x0000 (wide) .. 0x4000 (tele), the usual VISCA zoom range
//   roll  unsigned, tenths of a degree: roll * 10
// Values the controller passes outside the ranges (a hand-edited profile) are clamped.
// Values the camera reports outside the ranges are not trusted: the From functions then
// give nothing and the getter fails.
#include <optional>

namespace visca_units {

constexpr int kPanMax = 360;
constexpr int kTiltMax = 79;
constexpr int kZoomMax = 180;
constexpr int kRollMax = 270;
constexpr int kZoomWireMax = 0x4000;

int PanToWire(int pan);
int TiltToWire(int tilt);
int ZoomToWire(int zoom);
int RollToWire(int roll);

// wire values as received (pan and tilt already sign-extended from 16 bits)
std::optional<int> PanFromWire(int wire);
std::optional<int> TiltFromWire(int wire);
std::optional<int> ZoomFromWire(int wire);
std::optional<int> RollFromWire(int wire);

// Exact conversions for the virtual camera, which keeps fractional positions while moving.
double PanFromWireExact(int wire);
double TiltFromWireExact(int wire);
double ZoomFromWireExact(int wire);
double RollFromWireExact(int wire);

} // namespace visca_units
