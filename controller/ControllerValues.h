#pragma once
// The controller's own persistent values, section "QVT-VZ1" of the application's profile
// file. Plain data with its reading and writing, so the round trip is tested without a window.
#include <string>

class ProfileFile;

inline constexpr const char* kControllerSection = "QVT-VZ1";

struct ControllerValues
{
    ControllerValues();

    int nDeviceKind = 0;
    int nPosition = 0;
    int bReverse = 0;
    int bAlwaysOnTop = 0;
    int bModified = 0;
    std::string strFirmwareUrl;  // the built-in download address unless the user set another

    // Missing keys give the defaults above.
    void Read(const ProfileFile& file);
    // The six keys in their order, into an open profile (the caller saves it).
    void Write(ProfileFile& file) const;
};
