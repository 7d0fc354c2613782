#pragma once
// Everything the user teaches the camera: direction presets for Upside and Front, OHP and
// Release framing, the Manual page's position, the selected page, directions and tracking.
// Stored in the application's profile and in setting files, in one layout.
#include "settings/CameraPosition.h"

#include <array>
#include <string>

class ProfileFile;

class CCameraSettings
{
public:
    static constexpr int kDirections = 7;  // 0..5 talker directions, 6 = no direction

    CCameraSettings();
    virtual ~CCameraSettings() = default;
    CCameraSettings(const CCameraSettings&) = default;
    CCameraSettings& operator=(const CCameraSettings&) = default;
    bool operator==(const CCameraSettings& other) const;

    // The whole record in the profile layout, into an open profile (the caller saves it, so
    // that the record and the values beside it reach the disk in one write).
    void WriteProfile(ProfileFile& file) const;
    // The whole record; missing keys read as their read defaults ("Tracking" 1, "User"
    // "Zoom" 90). Directions outside 0..6 become 6 and a "Mode" other than 0 or 1 becomes 0,
    // because the controller and the pages index with them.
    void ReadProfile(const ProfileFile& file);
    // The same on a path: one load, one save. False when the file was not written.
    bool WriteProfile(const std::string& file) const;
    void ReadProfile(const std::string& file);

    int m_nMode = 0;
    int m_nUpMode = 3;
    int m_nUpDirection = 0;
    std::array<CCameraPosition, kDirections> m_upPresets;
    int m_nFrontDirection = 0;
    std::array<CCameraPosition, kDirections> m_frontPresets;
    int m_nOhpZoom = 100;
    int m_nOhpRoll = 90;
    int m_nFreeZoom = 90;
    int m_nUserMode = 3;
    CCameraPosition m_userPosition{90, 0, 180, 90};
    int m_bTracking = 0;
};
