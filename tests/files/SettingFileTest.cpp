#include "platform/ProfileFile.h"
#include "settings/SettingFile.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include <sys/stat.h>

namespace {

std::string PathFor(const std::string& name)
{
    return TestRootDir().toStdString() + "/" + name;
}

void WriteRaw(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(SettingFile, ExportUpdatesAnExistingFileAndKeepsItsOtherLines)
{
    const auto path = PathFor("existing.set");
    WriteRaw(path, "; my office set-up\n[Notes]\nRoom=4\n[QVT-VZ1]\nDevice=2\n");
    ASSERT_TRUE(ExportSettingFile(path, CCameraSettings(), 1, 0, 0));
    const ProfileFile file(path);
    EXPECT_EQ(file.Keys("QVT-VZ1"), (std::vector<std::string>{"Device", "Position", "Reverse"}));
    EXPECT_EQ(file.GetString("General", "Tracking", ""), "0");
    EXPECT_EQ(file.GetInt("Notes", "Room", 0), 4);
    EXPECT_EQ(file.GetInt("QVT-VZ1", "Device", -1), 1);
    EXPECT_EQ(ImportSettingFile(path).content.nDeviceKind, 1);
}

TEST(SettingFile, DeviceFromANewerProgramIsRefused)
{
    for (const char* device : {"7", "-1", "6"}) {
        const auto path = PathFor(std::string("device") + device + ".set");
        WriteRaw(path, std::string("[QVT-VZ1]\nDevice=") + device + "\nPosition=1\n[General]\nMode=1\n");
        EXPECT_EQ(ImportSettingFile(path).status, SettingFileStatus::InvalidDevice) << device;
    }
    WriteRaw(PathFor("device5.set"), "[QVT-VZ1]\nDevice=5\n");
    EXPECT_EQ(ImportSettingFile(PathFor("device5.set")).status, SettingFileStatus::Ok);
}

TEST(SettingFile, PositionAndReverseAreBroughtIntoRange)
{
    const auto path = PathFor("range.set");
    WriteRaw(path, "[qvt-vz1]\n device = 3 \nPOSITION=9\nReverse=5\n[Up]\nDirection=12\n");
    const auto result = ImportSettingFile(path);
    ASSERT_EQ(result.status, SettingFileStatus::Ok);
    EXPECT_EQ(result.content.nDeviceKind, 3);
    EXPECT_EQ(result.content.nPosition, 0);
    EXPECT_EQ(result.content.bReverse, 1);
    EXPECT_EQ(result.content.settings.m_nUpDirection, 6);

    WriteRaw(path, "[QVT-VZ1]\nPosition=-2\nReverse=0\n");
    EXPECT_EQ(ImportSettingFile(path).content.nPosition, 0);
    EXPECT_EQ(ImportSettingFile(path).content.bReverse, 0);
}

TEST(SettingFile, FileWithoutTheSectionOrKeysImportsAsNoSpeakerphone)
{
    // A profile without "QVT-VZ1", an empty file and binary noise all read as the missing-keys
    // case: kind 0, distance 0, not reversed, the record's read defaults, tracking off.
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>(random() & 0xFF);
    WriteRaw(PathFor("plain.set"), "[General]\nMode=1\n");
    WriteRaw(PathFor("empty.set"), "");
    WriteRaw(PathFor("noise.set"), noise);
    for (const char* name : {"plain.set", "empty.set", "noise.set"}) {
        const auto result = ImportSettingFile(PathFor(name));
        ASSERT_EQ(result.status, SettingFileStatus::Ok) << name;
        EXPECT_EQ(result.content.nDeviceKind, 0);
        EXPECT_EQ(result.content.nPosition, 0);
        EXPECT_EQ(result.content.bReverse, 0);
        EXPECT_EQ(result.content.settings.m_bTracking, 0);
        EXPECT_EQ(result.content.settings.m_userPosition, CCameraPosition(90, 0, 90, 90));
    }
    EXPECT_EQ(ImportSettingFile(PathFor("plain.set")).content.settings.m_nMode, 1);
}

TEST(SettingFile, WhatIsNotAReadableFileIsRefusedNotReadAsDefaults)
{
    const auto folder = PathFor("folder.set");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    EXPECT_EQ(ImportSettingFile(folder).status, SettingFileStatus::Unreadable);
    EXPECT_EQ(ImportSettingFile(PathFor("missing.set")).status, SettingFileStatus::Unreadable);
    EXPECT_FALSE(ExportSettingFile(folder, CCameraSettings(), 0, 0, 0));
    EXPECT_FALSE(ExportSettingFile(PathFor("no-such-folder/x.set"), CCameraSettings(), 0, 0, 0));
}
