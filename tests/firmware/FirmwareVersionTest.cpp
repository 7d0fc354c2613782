#include "firmware/FirmwareVersion.h"

#include <gtest/gtest.h>

TEST(FirmwareVersion, ParsingAndComparison)
{
    EXPECT_EQ(ParseFirmwareVersion("2.03"), 0x20003);
    EXPECT_EQ(ParseFirmwareVersion("2.3"), 0x20300);
    EXPECT_EQ(ParseFirmwareVersion("2.3"), ParseFirmwareVersion("2.30"));
    EXPECT_GT(ParseFirmwareVersion("2.3"), ParseFirmwareVersion("2.10"));
    EXPECT_GT(ParseFirmwareVersion("2.10"), ParseFirmwareVersion("2.03"));
    EXPECT_GT(ParseFirmwareVersion("10.0"), ParseFirmwareVersion("9.99"));
    EXPECT_EQ(ParseFirmwareVersion("Ver2.03"), 0x20003);
    EXPECT_EQ(ParseFirmwareVersion("V.2.03"), 0x20003) << "a stop before any digit is skipped";
    EXPECT_EQ(ParseFirmwareVersion("2.03.7"), 0x20003);
    EXPECT_EQ(ParseFirmwareVersion("123.4"), ParseFirmwareVersion("12.4"));
    EXPECT_EQ(ParseFirmwareVersion(nullptr), 0);
    EXPECT_TRUE(IsUpdateNeeded("2.03", "2.10"));
    EXPECT_FALSE(IsUpdateNeeded("2.03", "2.03"));
    EXPECT_FALSE(IsUpdateNeeded("2.3", "2.10"));
}
