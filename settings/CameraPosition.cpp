#include "settings/CameraPosition.h"

#include "platform/ProfileFile.h"

void CCameraPosition::WriteProfile(ProfileFile& file, std::string_view section) const
{
    file.SetInt(section, "Pan", m_nPan);
    file.SetInt(section, "Tilt", m_nTilt);
    file.SetInt(section, "Zoom", m_nZoom);
    file.SetInt(section, "Roll", m_nRoll);
}

void CCameraPosition::ReadProfile(const ProfileFile& file, std::string_view section)
{
    m_nPan = file.GetInt(section, "Pan", 90);
    m_nTilt = file.GetInt(section, "Tilt", 0);
    m_nZoom = file.GetInt(section, "Zoom", 90);
    m_nRoll = file.GetInt(section, "Roll", 90);
}

bool CCameraPosition::WriteProfile(const std::string& file, std::string_view section) const
{
    ProfileFile profile(file);
    WriteProfile(profile, section);
    return profile.Save();
}

void CCameraPosition::ReadProfile(const std::string& file, std::string_view section)
{
    ReadProfile(ProfileFile(file), section);
}
