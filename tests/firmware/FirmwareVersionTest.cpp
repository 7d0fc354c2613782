#include "firmware/FirmwareVersion.h"

#include <gtest/gtest.h>

namespace {

TEST(FirmwareVersion, MinorPartCountsAsTwoDecimalPlaces)
{
    EXPECT_EQ(ParseFirmwareVersion("2.03"), (2 << 16) | 0x0003);
    EXPECT_EQ(ParseFirmwareVersion("2.3"), (2 << 16) | 0x0300);
    EXPECT_EQ(ParseFirmwareVersion("2.3"), ParseFirmwareVersion("2.30"));
    EXPECT_GT(ParseFirmwareVersion("2.3"), ParseFirmwareVersion("2.10"));
    EXPECT_GT(ParseFirmwareVersion("2.10"), ParseFirmwareVersion("2.03"));
    EXPECT_GT(ParseFirmwareVersion("3.00"), ParseFirmwareVersion("2.99"));
    EXPECT_GT(ParseFirmwareVersion("10.0"), ParseFirmwareVersion("9.99"));
}

TEST(FirmwareVersion, LettersExtraPartsAndLongNumbers)
{
    EXPECT_EQ(ParseFirmwareVersion("Ver2.03"), ParseFirmwareVersion("2.03"));
    EXPECT_EQ(ParseFirmwareVersion("V.2.03"), ParseFirmwareVersion("2.03")) << "a stop before any digit is skipped";
    EXPECT_EQ(ParseFirmwareVersion("2.03.7"), ParseFirmwareVersion("2.03"));
    EXPECT_EQ(ParseFirmwareVersion("123.4"), ParseFirmwareVersion("12.4")) << "the major part keeps two digits";
    EXPECT_EQ(ParseFirmwareVersion("2.035"), ParseFirmwareVersion("2.03"));
    EXPECT_EQ(ParseFirmwareVersion("2"), 2 << 16);
    EXPECT_EQ(ParseFirmwareVersion(""), 0);
    EXPECT_EQ(ParseFirmwareVersion(nullptr), 0);
}

TEST(FirmwareVersion, UpdateNeededOnlyForANewerOffer)
{
    EXPECT_TRUE(IsUpdateNeeded("2.03", "2.10"));
    EXPECT_FALSE(IsUpdateNeeded("2.03", "2.03"));
    EXPECT_FALSE(IsUpdateNeeded("2.3", "2.10"));
    EXPECT_FALSE(IsUpdateNeeded("2.10", "Ver2.03"));
}

} // namespace
