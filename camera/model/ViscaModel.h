#pragma once
// What the controller needs to know about a camera model: how its own position units map
// onto the controller's (pan 0..360 with the centre at 180, tilt in degrees, zoom 0..180)
// and what it can do beyond standard VISCA. The QVT-VZ1 is one row of the table; the
// others are standard VISCA cameras, and "custom" takes its ranges from the profile.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct CameraCapabilities
{
    bool roll = true;         // a roll axis (vendor frame)
    bool stand = true;        // reports its stand position
    bool videoFormat = true;  // NTSC/PAL output and commit (vendor frames)
    bool firmware = true;     // firmware upload
    bool panTilt = true;      // pan and tilt axes (a USB camera may have zoom only)
    bool zoom = true;         // a zoom axis
};

struct ViscaModel
{
    std::string id;    // profile value: "qvt-vz1", "generic", "evi-d70", "evi-d80", "brc-h700", "custom"
    std::string name;  // its product name, as texts name the camera (the model list has its own texts)

    // The camera's pan and tilt units at the two ends of the range, and the angles (in
    // degrees from the centre, right and up positive) they stand for.
    int panMinUnits = -1800, panMaxUnits = 1800;
    int panMinDegrees = -180, panMaxDegrees = 180;
    int tiltMinUnits = 0, tiltMaxUnits = 790;
    int tiltMinDegrees = 0, tiltMaxDegrees = 79;
    int zoomWideUnits = 0, zoomTeleUnits = 0x4000;
    bool panReversed = false;
    bool tiltReversed = false;

    bool vendorFrames = true;  // the QVT-VZ1's own frames (roll, stand, format, firmware)
    // Nibbles of the pan position in the absolute move and the position reply: 4 (16-bit,
    // most cameras) or 5 (cameras with a 20-bit pan position). Tilt always has 4.
    int panNibbles = 4;

    // Bytes of the pan-tilt position reply's payload.
    std::size_t PanTiltReplyLength() const { return static_cast<std::size_t>(panNibbles) + 4; }

    bool operator==(const ViscaModel&) const = default;
    CameraCapabilities Capabilities() const;
    // Ranges that can be mapped: min below max in units and degrees, zoom ends distinct,
    // every value a signed number of the pan's and tilt's nibbles, or an unsigned 16-bit
    // zoom; 4 or 5 pan nibbles.
    bool IsValid() const;
};

// The built-in models, the QVT-VZ1 first.
const std::vector<ViscaModel>& BuiltInModels();
// The model with this id; the QVT-VZ1 for an unknown id.
const ViscaModel& BuiltInModel(const std::string& id);

// Controller units <-> the camera's units, for one model. Out-of-range controller values
// are clamped; camera values outside the model's range are not believed (nothing).
class UnitMap
{
public:
    explicit UnitMap(const ViscaModel& model);

    int PanToWire(int pan) const { return PanToWire(double(pan)); }
    int TiltToWire(int tilt) const { return TiltToWire(double(tilt)); }
    int ZoomToWire(int zoom) const { return ZoomToWire(double(zoom)); }
    // The same for fractional positions (the virtual camera's).
    int PanToWire(double pan) const;
    int TiltToWire(double tilt) const;
    int ZoomToWire(double zoom) const;
    std::optional<int> PanFromWire(int wire) const;
    std::optional<int> TiltFromWire(int wire) const;
    std::optional<int> ZoomFromWire(int wire) const;
    // Exact values for the virtual camera, which keeps fractional positions.
    double PanFromWireExact(int wire) const;
    double TiltFromWireExact(int wire) const;
    double ZoomFromWireExact(int wire) const;
    // The controller's range of each axis under this model.
    int PanMin() const { return 180 + m_model.panMinDegrees; }
    int PanMax() const { return 180 + m_model.panMaxDegrees; }
    int TiltMin() const { return m_model.tiltMinDegrees; }
    int TiltMax() const { return m_model.tiltMaxDegrees; }

private:
    ViscaModel m_model;
};
