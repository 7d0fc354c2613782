#pragma once
// How the camera is reached: the QVT-VZ1 found on USB (or the virtual camera's
// announcement), a VISCA camera on a serial port, or one on the network; and which model
// it is. Kept in the application profile's "Camera" section (CameraConnectionProfile.h).
#include "camera/model/ViscaModel.h"

#include <string>

struct CameraConnection
{
    enum class Kind { Usb = 0, Serial = 1, Network = 2 };
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
};
