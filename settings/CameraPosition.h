#pragma once
// One camera position in the camera's own units, in the order the camera takes them.
#include <string>
#include <string_view>

class ProfileFile;

class CCameraPosition
{
public:
    CCameraPosition() = default;
    CCameraPosition(int nPan, int nTilt, int nZoom, int nRoll)
        : m_nPan(nPan), m_nTilt(nTilt), m_nZoom(nZoom), m_nRoll(nRoll)
    {
    }
    virtual ~CCameraPosition() = default;
    CCameraPosition(const CCameraPosition&) = default;
    CCameraPosition& operator=(const CCameraPosition&) = default;

    bool operator==(const CCameraPosition& other) const
    {
        return m_nPan == other.m_nPan && m_nTilt == other.m_nTilt && m_nZoom == other.m_nZoom
            && m_nRoll == other.m_nRoll;
    }

    // Keys "Pan", "Tilt", "Zoom", "Roll", in that order, into section.
    void WriteProfile(ProfileFile& file, std::string_view section) const;
    // The same keys; a missing one reads as 90, 0, 90, 90.
    void ReadProfile(const ProfileFile& file, std::string_view section);
    // The same on a path: one load, and for the write one save. False when it was not saved.
    bool WriteProfile(const std::string& file, std::string_view section) const;
    void ReadProfile(const std::string& file, std::string_view section);

    int m_nPan = 90;
    int m_nTilt = 0;
    int m_nZoom = 90;
    int m_nRoll = 90;
};
