#include "settings/CameraSettings.h"

#include "platform/ProfileFile.h"
#include "settings/SettingRanges.h"

#include <cstdio>

namespace {

std::string DirSection(const char* stem, int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%d", stem, index);
    return name;
}

} // namespace

CCameraSettings::CCameraSettings() = default;

bool CCameraSettings::operator==(const CCameraSettings& o) const
{
    return m_nMode == o.m_nMode && m_nUpMode == o.m_nUpMode && m_nUpDirection == o.m_nUpDirection
        && m_upPresets == o.m_upPresets && m_nFrontDirection == o.m_nFrontDirection
        && m_frontPresets == o.m_frontPresets && m_nOhpZoom == o.m_nOhpZoom && m_nOhpRoll == o.m_nOhpRoll
        && m_nFreeZoom == o.m_nFreeZoom && m_nUserMode == o.m_nUserMode && m_userPosition == o.m_userPosition
        && m_bTracking == o.m_bTracking;
}

void CCameraSettings::WriteProfile(ProfileFile& file) const
{
    file.SetInt("General", "Mode", m_nMode);
    file.SetInt("General", "User Mode", m_nUserMode);
    file.SetInt("General", "Tracking", m_bTracking);
    m_userPosition.WriteProfile(file, "User");
    file.SetInt("Up", "Mode", m_nUpMode);
    file.SetInt("Up", "Direction", m_nUpDirection);
    for (int i = 0; i < kDirections; ++i)
        m_upPresets[static_cast<std::size_t>(i)].WriteProfile(file, DirSection("UpDir", i));
    file.SetInt("Front", "Direction", m_nFrontDirection);
    for (int i = 0; i < kDirections; ++i)
        m_frontPresets[static_cast<std::size_t>(i)].WriteProfile(file, DirSection("FrontDir", i));
    file.SetInt("OHP", "Zoom", m_nOhpZoom);
    file.SetInt("OHP", "Roll", m_nOhpRoll);
    file.SetInt("Free", "Zoom", m_nFreeZoom);
}

void CCameraSettings::ReadProfile(const ProfileFile& file)
{
    m_nMode = ClampPageMode(file.GetInt("General", "Mode", 0));
    m_nUserMode = file.GetInt("General", "User Mode", 3);
    m_bTracking = file.GetInt("General", "Tracking", 1);
    m_userPosition.ReadProfile(file, "User");
    m_nUpMode = file.GetInt("Up", "Mode", 3);
    m_nUpDirection = ClampDirection(file.GetInt("Up", "Direction", 0));
    for (int i = 0; i < kDirections; ++i)
        m_upPresets[static_cast<std::size_t>(i)].ReadProfile(file, DirSection("UpDir", i));
    m_nFrontDirection = ClampDirection(file.GetInt("Front", "Direction", 0));
    for (int i = 0; i < kDirections; ++i)
        m_frontPresets[static_cast<std::size_t>(i)].ReadProfile(file, DirSection("FrontDir", i));
    m_nOhpZoom = file.GetInt("OHP", "Zoom", 100);
    m_nOhpRoll = file.GetInt("OHP", "Roll", 90);
    m_nFreeZoom = file.GetInt("Free", "Zoom", 90);
}

bool CCameraSettings::WriteProfile(const std::string& file) const
{
    ProfileFile profile(file);
    WriteProfile(profile);
    return profile.Save();
}

void CCameraSettings::ReadProfile(const std::string& file)
{
    ReadProfile(ProfileFile(file));
}
