#pragma once
// Finding the camera: the USB camera (vendor f1a9, product c20e) through libudev, else the
// virtual camera's announcement.
#include <string>

// True while the USB camera is attached (with or without its serial node).
bool UsbCameraAttached();

// The USB camera's serial node (e.g. /dev/ttyACM0), or empty.
std::string UsbCameraPort();

// The port to use: the USB camera's node, else the announced virtual camera, else empty.
std::string FindCameraPort();
