#include "platform/ProfileFile.h"
#include "settings/SettingFile.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <tuple>

#include <sys/stat.h>

namespace {

std::string WriteFile(const std::string& name, const std::string& bytes)
{
    const std::string path = TestRootDir().toStdString() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

TEST(SettingFile, ExportUpdatesAnExistingFileAndKeepsItsOtherLines)
{
    const auto path = WriteFile("existing.set", "; my office set-up\n[Notes]\nRoom=4\n[QVT-VZ1]\nDevice=2\n");
    ASSERT_TRUE(ExportSettingFile(path, CCameraSettings(), 1, 0, 0));
    const ProfileFile file(path);
    EXPECT_EQ(file.Keys("QVT-VZ1"), (std::vector<std::string>{"Device", "Position", "Reverse"}));
    EXPECT_EQ(file.GetString("General", "Tracking", ""), "0");
    EXPECT_EQ(file.GetInt("Notes", "Room", 0), 4);
    EXPECT_EQ(ImportSettingFile(path).content.nDeviceKind, 1);
}

TEST(SettingFile, DeviceFromANewerProgramIsRefused)
{
    for (const char* device : {"7", "-1", "6", "5"}) {  // 6, a microphone array, is ours too
        const auto path = WriteFile(std::string("device") + device + ".set",
                                std::string("[QVT-VZ1]\nDevice=") + device + "\nPosition=1\n[General]\nMode=1\n");
        EXPECT_EQ(ImportSettingFile(path).status,
                  device[0] == '5' || device[0] == '6' ? SettingFileStatus::Ok : SettingFileStatus::InvalidDevice)
            << device;
    }
}

TEST(SettingFile, PositionAndReverseAreBroughtIntoRange)
{
    auto result = ImportSettingFile(WriteFile("range.set", "[qvt-vz1]\n device = 3 \nPOSITION=9\nReverse=5\n[Up]\nDirection=12\n"));
    ASSERT_EQ(result.status, SettingFileStatus::Ok);
    const auto& c = result.content;
    EXPECT_EQ(std::tuple(c.nDeviceKind, c.nPosition, c.bReverse, c.settings.m_nUpDirection), std::tuple(3, 0, 1, 6));
    result = ImportSettingFile(WriteFile("range.set", "[QVT-VZ1]\nPosition=-2\nReverse=0\n"));
    EXPECT_EQ(std::tuple(c.nPosition, c.bReverse), std::tuple(0, 0));
}

TEST(SettingFile, FileWithoutTheSectionOrKeysImportsAsNoSpeakerphone)
{
    // A profile without "QVT-VZ1", an empty file and binary noise all read as the missing-keys
    // case: kind 0, distance 0, not reversed, the record's read defaults, tracking off.
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>(random() & 0xFF);
    for (const auto& [name, bytes] : {std::pair{"plain.set", std::string("[General]\nMode=1\n")},
                                      {"empty.set", std::string()}, {"noise.set", noise}}) {
        const auto result = ImportSettingFile(WriteFile(name, bytes));
        ASSERT_EQ(result.status, SettingFileStatus::Ok) << name;
        const auto& c = result.content;
        EXPECT_EQ(std::tuple(c.nDeviceKind, c.nPosition, c.bReverse, c.settings.m_bTracking, c.settings.m_nMode),
                  std::tuple(0, 0, 0, 0, name[0] == 'p' ? 1 : 0)) << name;
        EXPECT_EQ(c.settings.m_userPosition, CCameraPosition(90, 0, 90, 90));
    }
}

TEST(SettingFile, WhatIsNotAReadableFileIsRefusedNotReadAsDefaults)
{
    const auto root = TestRootDir().toStdString();
    const auto folder = root + "/folder.set";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    EXPECT_EQ(ImportSettingFile(folder).status, SettingFileStatus::Unreadable);
    EXPECT_EQ(ImportSettingFile(root + "/missing.set").status, SettingFileStatus::Unreadable);
    EXPECT_FALSE(ExportSettingFile(folder, CCameraSettings(), 0, 0, 0));
    EXPECT_FALSE(ExportSettingFile(root + "/no-such-folder/x.set", CCameraSettings(), 0, 0, 0));
}
