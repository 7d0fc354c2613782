#pragma once
// How the camera is reached: the QVT-VZ1 found on USB (or the virtual camera's
// announcement), a VISCA camera on a serial port, or one on the network, and which model
// it is; or a USB camera whose pan, tilt and zoom are V4L2 controls of its capture node. Kept in the application profile's "Camera" section (CameraConnectionProfile.h).
#include "camera/model/ViscaModel.h"

#include <string>

struct CameraConnection
{
    enum class Kind { Usb = 0, Serial = 1, Network = 2, Uvc = 3 };
    enum class Net { ViscaIp = 0, Tcp = 1, Udp = 2 };
    enum Framing { kAllParticipants = 0, kOneParticipant = 1 };

    Kind kind = Kind::Usb;
    std::string serialPort;
    int baud = 9600;  // 9600, 19200, 38400 or 115200
    int address = 1;  // 1..7
    std::string host;
    int port = 52381;
    Net net = Net::ViscaIp;
    std::string modelId = "generic";  // for Serial and Network; "custom" uses customModel
    ViscaModel customModel;
    int framing = kAllParticipants;
    // For Uvc: the capture node, best a /dev/v4l/by-id/ name. Its ranges come from the
    // node; customModel's panReversed and tiltReversed say how it is mounted.
    std::string uvcDevice;
    // The camera's picture on the network (rtsp://, http:// or udp://); empty for none.
    std::string videoStream;

    bool operator==(const CameraConnection&) const = default;

    // The model in force: the QVT-VZ1 for Usb, else the chosen or the custom one.
    ViscaModel Model() const;
    // The stand position a camera without a stand report is taken to be in: 1 Upside for
    // "All participants", 3 Front for "One participant".
    int FramingStand() const { return framing == kOneParticipant ? 3 : 1; }
    // Whether text can be a video stream address: empty, or rtsp://, http:// or udp://
    // followed by something (case-insensitive scheme).
    static bool ValidVideoStream(const std::string& text);
    // Usual port of each network transport.
    static int DefaultPort(Net net);
    // "udp 127.0.0.1:52381", "/dev/ttyUSB0": for messages and the port buffer.
    std::string Describe() const;
    // What the texts that name the camera call it: nothing for the QVT-VZ1 (its own texts
    // name it), "EVI-D70 (/dev/ttyUSB0)" for a named model, else Describe(). The one
    // place every camera other than the QVT-VZ1 gets its name from.
    std::string Name() const;
};
