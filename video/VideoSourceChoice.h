#pragma once
// Where the video window finds the picture of the camera in use; the one place that decides
// it. A network stream set for the camera wins; else the video4linux devices: the system's
// when a QVT-VZ1 is plugged in, else the virtual camera's entry in its runtime folder while
// a simulator announces the camera, else the system's (which then show NO VIDEO).
#include "camera/CameraConnection.h"
#include "video/VideoCapture.h"

#include <memory>
#include <string>

struct VideoSource
{
    enum class Kind { Devices, Stream };
    Kind kind = Kind::Devices;
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
    std::string stream;

    bool operator==(const VideoSource&) const = default;
};

// cameraOnSystem: the system's devices hold the QVT-VZ1; virtualCameraDir: the simulator's
// runtime folder while it announces the camera, else empty.
VideoSource ChooseVideoSource(const CameraConnection& connection, bool cameraOnSystem,
                              const std::string& virtualCameraDir);

// The capture services for the camera in use, looking at this machine.
std::unique_ptr<VideoCapture> MakeVideoCapture(const CameraConnection& connection);
