#include "platform/ProfileFile.h"
#include "settings/CameraSettings.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

namespace {

std::string PathFor(const std::string& name) { return TestRootDir().toStdString() + "/" + name; }

std::string ReadRaw(const std::string& name)
{
    std::stringstream s;
    s << std::ifstream(PathFor(name), std::ios::binary).rdbuf();
    return s.str();
}

CCameraSettings ReadFrom(const std::string& name, CCameraSettings s = {})
{
    s.ReadProfile(PathFor(name));
    return s;
}

// Every field differs from both sets of defaults; negative values included.
CCameraSettings Taught()
{
    CCameraSettings s;
    s.m_nMode = s.m_nUpMode = 1;
    s.m_nUpDirection = 4;
    s.m_nFrontDirection = 6;
    for (int i = 0; i < CCameraSettings::kDirections; ++i) {
        s.m_upPresets[std::size_t(i)] = CCameraPosition(10 + i, 20 + i, 30 + i, 40 + i);
        s.m_frontPresets[std::size_t(i)] = CCameraPosition(-1 - i, 70 - i, 170 + i, 270 - i);
    }
    s.m_nOhpZoom = 55;
    s.m_nOhpRoll = 270;
    s.m_nFreeZoom = s.m_nUserMode = 2;
    s.m_userPosition = CCameraPosition(-360, -79, 0, -270);
    return s;
}

} // namespace

TEST(CameraSettings, WrittenRecordReadsBackEqual)
{
    // "Tracking" 0 and "User" "Zoom" 180 of a new record survive, though their read defaults are 1 and 90.
    CCameraSettings taught = Taught();
    taught.m_bTracking = 1;
    for (const CCameraSettings& s : {CCameraSettings(), taught}) {
        ASSERT_TRUE(s.WriteProfile(PathFor("record.ini")));
        EXPECT_EQ(ReadFrom("record.ini", s.m_bTracking ? CCameraSettings() : Taught()), s);
    }
    EXPECT_EQ(ProfileFile(PathFor("record.ini")).GetString("User", "Pan", ""), "-360");
    // Layout and order of writing.
    ASSERT_TRUE(CCameraSettings().WriteProfile(PathFor("layout.ini")));
    const std::string start = "[General]\nMode=0\nUser Mode=3\nTracking=0\n[User]\nPan=90\nTilt=0\nZoom=180\nRoll=90\n[Up]\n";
    EXPECT_EQ(ReadRaw("layout.ini").substr(0, start.size()), start);
    std::vector<std::string> sections{"General", "User", "Up"};
    for (const char* dir : {"UpDir", "FrontDir"}) {
        for (int i = 0; i < 7; ++i)
            sections.push_back(dir + std::to_string(i));
        sections.push_back(sections.size() < 11 ? "Front" : "OHP");
    }
    sections.push_back("Free");
    EXPECT_EQ(ProfileFile(PathFor("layout.ini")).Sections(), sections);
    EXPECT_EQ(ProfileFile(PathFor("layout.ini")).Keys("FrontDir6"), (std::vector<std::string>{"Pan", "Tilt", "Zoom", "Roll"}));
}

TEST(CameraSettings, MissingOrEmptyFileReadsTheReadDefaults)
{
    std::ofstream(PathFor("empty.ini")).flush();
    CCameraSettings defaults;
    defaults.m_nMode = defaults.m_nUpDirection = defaults.m_nFrontDirection = 0;
    defaults.m_nUpMode = defaults.m_nUserMode = 3;
    defaults.m_bTracking = 1;
    defaults.m_nOhpZoom = 100;
    defaults.m_nOhpRoll = defaults.m_nFreeZoom = 90;
    defaults.m_userPosition = CCameraPosition(90, 0, 90, 90);
    defaults.m_upPresets.fill(defaults.m_userPosition);
    defaults.m_frontPresets.fill(defaults.m_userPosition);
    for (const char* name : {"missing.ini", "empty.ini"})
        EXPECT_EQ(ReadFrom(name, Taught()), defaults) << name;
}

TEST(CameraSettings, HandWrittenProfileReadsWhateverTheCaseAndBlanks)
{
    std::ofstream(PathFor("hand.ini"), std::ios::binary)
        << "; written by hand\r\n[QVT-VZ1]\r\nDevice=3\r\n\r\n"
           "[general]\r\n  MODE = 1 \r\nuser mode=2\r\n TRACKING =0\r\n"
           "[USER]\r\npan= -45\r\n\tzoom\t=\t120\r\n[up]\r\ndirection = 5\r\n[updir5]\r\nPAN=300\r\nroll=-90\r\n"
           "[FRONT]\r\nDIRECTION=2\r\n[frontdir2]\r\ntilt = 79\r\n[ohp]\r\nzoom=0\r\n[FREE]\r\nZOOM=+7\r\n";
    CCameraSettings expected = ReadFrom("missing.ini");
    expected.m_nMode = 1;
    expected.m_nUserMode = expected.m_nFrontDirection = 2;
    expected.m_bTracking = expected.m_nOhpZoom = 0;
    expected.m_userPosition = CCameraPosition(-45, 0, 120, 90);
    expected.m_nUpDirection = 5;
    expected.m_upPresets[5] = CCameraPosition(300, 0, 90, -90);
    expected.m_frontPresets[2] = CCameraPosition(90, 79, 90, 90);
    expected.m_nFreeZoom = 7;
    const CCameraSettings s = ReadFrom("hand.ini");
    EXPECT_EQ(s, expected);
    // Writing the record back keeps the foreign section and the comment.
    s.WriteProfile(PathFor("hand.ini"));
    EXPECT_EQ(ProfileFile(PathFor("hand.ini")).GetInt("QVT-VZ1", "Device", -1), 3);
    EXPECT_EQ(ReadRaw("hand.ini").substr(0, 18), "; written by hand\r");
    // Indexes out of range are brought back.
    std::ofstream(PathFor("range.ini")) << "[General]\nMode=7\n[Up]\nDirection=9\n[Front]\nDirection=-1\n";
    const CCameraSettings range = ReadFrom("range.ini");
    EXPECT_EQ(std::tuple(range.m_nMode, range.m_nUpDirection, range.m_nFrontDirection), std::tuple(0, 6, 6));
}
