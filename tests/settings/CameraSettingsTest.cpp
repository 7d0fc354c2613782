#include "platform/ProfileFile.h"
#include "settings/CameraSettings.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string PathFor(const std::string& name)
{
    return TestRootDir().toStdString() + "/" + name;
}

std::string ReadRaw(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A record in which every field differs from both sets of defaults.
CCameraSettings Taught()
{
    CCameraSettings s;
    s.m_nMode = 1;
    s.m_nUpMode = 1;
    s.m_nUpDirection = 4;
    s.m_nFrontDirection = 6;
    for (int i = 0; i < CCameraSettings::kDirections; ++i) {
        s.m_upPresets[static_cast<std::size_t>(i)] = CCameraPosition(10 + i, 20 + i, 30 + i, 40 + i);
        s.m_frontPresets[static_cast<std::size_t>(i)] = CCameraPosition(-1 - i, 70 - i, 170 + i, 270 - i);
    }
    s.m_nOhpZoom = 55;
    s.m_nOhpRoll = 270;
    s.m_nFreeZoom = 12;
    s.m_nUserMode = 2;
    s.m_userPosition = CCameraPosition(-360, -79, 0, -270);
    return s;
}

} // namespace

TEST(CameraSettings, WrittenRecordReadsBackEqual)
{
    // A new record: "Tracking" 0 and "User" "Zoom" 180 must survive, though their read
    // defaults are 1 and 90.
    const CCameraSettings fresh;
    ASSERT_TRUE(fresh.WriteProfile(PathFor("fresh.ini")));
    CCameraSettings back = Taught();
    back.ReadProfile(PathFor("fresh.ini"));
    EXPECT_EQ(back, fresh);
    EXPECT_EQ(back.m_bTracking, 0);
    EXPECT_EQ(back.m_userPosition.m_nZoom, 180);

    // Every field, negative values included.
    CCameraSettings taught = Taught();
    taught.m_bTracking = 1;
    ASSERT_TRUE(taught.WriteProfile(PathFor("taught.ini")));
    CCameraSettings read;
    read.ReadProfile(PathFor("taught.ini"));
    EXPECT_EQ(read, taught);
    EXPECT_EQ(read.m_userPosition.m_nPan, -360);
    EXPECT_EQ(ProfileFile(PathFor("taught.ini")).GetString("User", "Pan", ""), "-360");
}

TEST(CameraSettings, LayoutAndOrderOfWriting)
{
    const CCameraSettings fresh;
    ASSERT_TRUE(fresh.WriteProfile(PathFor("layout.ini")));
    const std::string text = ReadRaw(PathFor("layout.ini"));
    const std::string start = "[General]\nMode=0\nUser Mode=3\nTracking=0\n[User]\nPan=90\nTilt=0\nZoom=180\nRoll=90\n[Up]\n";
    EXPECT_EQ(text.substr(0, start.size()), start);
    const ProfileFile file(PathFor("layout.ini"));
    std::vector<std::string> sections{"General", "User", "Up"};
    for (int i = 0; i < 7; ++i)
        sections.push_back("UpDir" + std::to_string(i));
    sections.push_back("Front");
    for (int i = 0; i < 7; ++i)
        sections.push_back("FrontDir" + std::to_string(i));
    sections.insert(sections.end(), {"OHP", "Free"});
    EXPECT_EQ(file.Sections(), sections);
    EXPECT_EQ(file.Keys("Up"), (std::vector<std::string>{"Mode", "Direction"}));
    EXPECT_EQ(file.Keys("Front"), (std::vector<std::string>{"Direction"}));
    EXPECT_EQ(file.Keys("FrontDir6"), (std::vector<std::string>{"Pan", "Tilt", "Zoom", "Roll"}));
    EXPECT_EQ(file.Keys("OHP"), (std::vector<std::string>{"Zoom", "Roll"}));
    EXPECT_EQ(file.Keys("Free"), (std::vector<std::string>{"Zoom"}));
}

TEST(CameraSettings, MissingOrEmptyFileReadsTheReadDefaults)
{
    std::ofstream(PathFor("empty.ini")).flush();
    for (const char* name : {"missing.ini", "empty.ini"}) {
        CCameraSettings s = Taught();
        s.ReadProfile(PathFor(name));
        EXPECT_EQ(s.m_bTracking, 1) << name;
        EXPECT_EQ(s.m_userPosition, CCameraPosition(90, 0, 90, 90)) << name;
        EXPECT_EQ(s.m_nMode, 0);
        EXPECT_EQ(s.m_nUpMode, 3);
        EXPECT_EQ(s.m_nUserMode, 3);
        EXPECT_EQ(s.m_nUpDirection, 0);
        EXPECT_EQ(s.m_nFrontDirection, 0);
        EXPECT_EQ(s.m_nOhpZoom, 100);
        EXPECT_EQ(s.m_nOhpRoll, 90);
        EXPECT_EQ(s.m_nFreeZoom, 90);
        for (const auto& p : s.m_upPresets)
            EXPECT_EQ(p, CCameraPosition(90, 0, 90, 90));
        for (const auto& p : s.m_frontPresets)
            EXPECT_EQ(p, CCameraPosition(90, 0, 90, 90));
    }
}

TEST(CameraSettings, HandWrittenProfileReadsWhateverTheCaseAndBlanks)
{
    std::ofstream(PathFor("hand.ini"), std::ios::binary)
        << "; written by hand\r\n"
           "[QVT-VZ1]\r\nDevice=3\r\n\r\n"
           "[general]\r\n  MODE = 1 \r\nuser mode=2\r\n TRACKING =0\r\n"
           "[USER]\r\npan= -45\r\n\tzoom\t=\t120\r\n"
           "[up]\r\ndirection = 5\r\n"
           "[updir5]\r\nPAN=300\r\nroll=-90\r\n"
           "[FRONT]\r\nDIRECTION=2\r\n"
           "[frontdir2]\r\ntilt = 79\r\n"
           "[ohp]\r\nzoom=0\r\n[FREE]\r\nZOOM=+7\r\n";
    CCameraSettings s;
    s.ReadProfile(PathFor("hand.ini"));
    EXPECT_EQ(s.m_nMode, 1);
    EXPECT_EQ(s.m_nUserMode, 2);
    EXPECT_EQ(s.m_bTracking, 0);
    EXPECT_EQ(s.m_userPosition, CCameraPosition(-45, 0, 120, 90));
    EXPECT_EQ(s.m_nUpMode, 3);
    EXPECT_EQ(s.m_nUpDirection, 5);
    EXPECT_EQ(s.m_upPresets[5], CCameraPosition(300, 0, 90, -90));
    EXPECT_EQ(s.m_upPresets[4], CCameraPosition());
    EXPECT_EQ(s.m_nFrontDirection, 2);
    EXPECT_EQ(s.m_frontPresets[2], CCameraPosition(90, 79, 90, 90));
    EXPECT_EQ(s.m_nOhpZoom, 0);
    EXPECT_EQ(s.m_nOhpRoll, 90);
    EXPECT_EQ(s.m_nFreeZoom, 7);

    // Writing the record back keeps the foreign section and the comment.
    s.WriteProfile(PathFor("hand.ini"));
    const ProfileFile after(PathFor("hand.ini"));
    EXPECT_EQ(after.GetInt("QVT-VZ1", "Device", -1), 3);
    EXPECT_EQ(ReadRaw(PathFor("hand.ini")).substr(0, 18), "; written by hand\r");
}

TEST(CameraSettings, IndexesOutOfRangeAreBroughtBackWhenRead)
{
    std::ofstream(PathFor("range.ini")) << "[General]\nMode=7\n[Up]\nDirection=9\n[Front]\nDirection=-1\n";
    CCameraSettings s;
    s.ReadProfile(PathFor("range.ini"));
    EXPECT_EQ(s.m_nMode, 0);
    EXPECT_EQ(s.m_nUpDirection, 6);
    EXPECT_EQ(s.m_nFrontDirection, 6);
}
