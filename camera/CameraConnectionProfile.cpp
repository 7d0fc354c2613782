#include "camera/CameraConnectionProfile.h"

#include "platform/ProfileFile.h"

#include <algorithm>

namespace {

int InRange(int value, int lo, int hi, int fallback) { return value >= lo && value <= hi ? value : fallback; }

bool ValidBaud(int baud) { return baud == 9600 || baud == 19200 || baud == 38400 || baud == 115200; }

} // namespace

CameraConnection ReadCameraConnection(const ProfileFile& f)
{
    CameraConnection c;
    const char* s = kCameraSection;
    c.kind = static_cast<CameraConnection::Kind>(InRange(f.GetInt(s, "Connection", 0), 0, 3, 0));
    c.serialPort = f.GetString(s, "SerialPort", "");
    const int baud = f.GetInt(s, "Speed", 9600);
    c.baud = ValidBaud(baud) ? baud : 9600;
    c.address = InRange(f.GetInt(s, "Address", 1), 1, 7, 1);
    c.host = f.GetString(s, "Host", "");
    c.net = static_cast<CameraConnection::Net>(InRange(f.GetInt(s, "Transport", 0), 0, 2, 0));
    c.port = InRange(f.GetInt(s, "Port", CameraConnection::DefaultPort(c.net)), 1, 65535,
                     CameraConnection::DefaultPort(c.net));
    c.modelId = f.GetString(s, "Model", "generic");
    // The QVT-VZ1's row is not a model of a VISCA camera: it is the USB connection.
    if (c.modelId != "custom" && (BuiltInModel(c.modelId).id != c.modelId || BuiltInModel(c.modelId).vendorFrames))
        c.modelId = "generic";
    c.framing = InRange(f.GetInt(s, "Framing", 0), 0, 1, 0);
    c.uvcDevice = f.GetString(s, "UvcDevice", "");
    // A hand-edited address that is none plays nothing rather than something unexpected.
    c.videoStream = f.GetString(s, "VideoStream", "");
    if (!CameraConnection::ValidVideoStream(c.videoStream))
        c.videoStream.clear();

    ViscaModel& m = c.customModel;
    m = BuiltInModel("generic");
    m.id = "custom";
    m.name = "Custom";
    m.panMinUnits = f.GetInt(s, "PanMinUnits", m.panMinUnits);
    m.panMaxUnits = f.GetInt(s, "PanMaxUnits", m.panMaxUnits);
    m.panMinDegrees = f.GetInt(s, "PanMinDegrees", m.panMinDegrees);
    m.panMaxDegrees = f.GetInt(s, "PanMaxDegrees", m.panMaxDegrees);
    m.tiltMinUnits = f.GetInt(s, "TiltMinUnits", m.tiltMinUnits);
    m.tiltMaxUnits = f.GetInt(s, "TiltMaxUnits", m.tiltMaxUnits);
    m.tiltMinDegrees = f.GetInt(s, "TiltMinDegrees", m.tiltMinDegrees);
    m.tiltMaxDegrees = f.GetInt(s, "TiltMaxDegrees", m.tiltMaxDegrees);
    m.zoomWideUnits = f.GetInt(s, "ZoomWideUnits", m.zoomWideUnits);
    m.zoomTeleUnits = f.GetInt(s, "ZoomTeleUnits", m.zoomTeleUnits);
    m.panReversed = f.GetInt(s, "PanReversed", 0) != 0;
    m.tiltReversed = f.GetInt(s, "TiltReversed", 0) != 0;
    m.panNibbles = f.GetInt(s, "PanDigits", 4);  // out of 4..5: the ranges fall back whole
    return c;
}

void WriteCameraConnection(ProfileFile& f, const CameraConnection& c)
{
    const char* s = kCameraSection;
    f.SetInt(s, "Connection", static_cast<int>(c.kind));
    f.SetString(s, "SerialPort", c.serialPort);
    f.SetInt(s, "Speed", c.baud);
    f.SetInt(s, "Address", c.address);
    f.SetString(s, "Host", c.host);
    f.SetInt(s, "Port", c.port);
    f.SetInt(s, "Transport", static_cast<int>(c.net));
    f.SetString(s, "Model", c.modelId);
    f.SetInt(s, "Framing", c.framing);
    f.SetString(s, "UvcDevice", c.uvcDevice);
    f.SetString(s, "VideoStream", c.videoStream);
    const ViscaModel& m = c.customModel;
    f.SetInt(s, "PanMinUnits", m.panMinUnits);
    f.SetInt(s, "PanMaxUnits", m.panMaxUnits);
    f.SetInt(s, "PanMinDegrees", m.panMinDegrees);
    f.SetInt(s, "PanMaxDegrees", m.panMaxDegrees);
    f.SetInt(s, "TiltMinUnits", m.tiltMinUnits);
    f.SetInt(s, "TiltMaxUnits", m.tiltMaxUnits);
    f.SetInt(s, "TiltMinDegrees", m.tiltMinDegrees);
    f.SetInt(s, "TiltMaxDegrees", m.tiltMaxDegrees);
    f.SetInt(s, "ZoomWideUnits", m.zoomWideUnits);
    f.SetInt(s, "ZoomTeleUnits", m.zoomTeleUnits);
    f.SetInt(s, "PanReversed", m.panReversed ? 1 : 0);
    f.SetInt(s, "TiltReversed", m.tiltReversed ? 1 : 0);
    f.SetInt(s, "PanDigits", m.panNibbles);
}
