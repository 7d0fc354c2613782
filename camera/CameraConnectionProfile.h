#pragma once
// The camera connection in the application profile, section "Camera". A profile without
// the section reads as the QVT-VZ1 on USB; values out of range read as their defaults, so
// a hand-edited file never yields a connection the library cannot use.
#include "camera/CameraConnection.h"

class ProfileFile;

inline constexpr const char* kCameraSection = "Camera";

CameraConnection ReadCameraConnection(const ProfileFile& file);
void WriteCameraConnection(ProfileFile& file, const CameraConnection& connection);
