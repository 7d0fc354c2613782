#pragma once
// What the microphone array source needs to know: which capture device, where its
// microphones sit and where direction 0 points. Kept in the profile, section "MicArray";
// the controller hands a copy to the worker when it starts one of kind 6 (TrackingContext).
#include <string>

class ProfileFile;

inline constexpr const char* kMicArraySection = "MicArray";
inline constexpr const char* kDefaultArrayGeometry = "circular:4:0.032";

struct MicArraySetup
{
    std::string device;                       // ALSA name; empty: the first array found
    std::string geometry = kDefaultArrayGeometry;  // as ParseArrayGeometry reads it
    int nZeroAngle = 0;                       // degrees, 0..359

    void Read(const ProfileFile& file);    // missing keys give the defaults
    void Write(ProfileFile& file) const;
};
