#include "firmware/Crc16.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(Crc16, CatalogueCheckValues)
{
    EXPECT_EQ(CalcCrc16(reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0xFEE8);
    EXPECT_EQ(CalcCrc16(reinterpret_cast<const std::uint8_t*>("abc"), 3), 0xCADB);
    EXPECT_EQ(CalcCrc16(nullptr, 0), 0);
}

TEST(Crc16, FastSumEqualsTheBitwiseDefinitionAtEveryLength)
{
    std::mt19937 rng(7);
    for (std::uint32_t len = 0; len < 300; ++len) {
        std::vector<std::uint8_t> data(len);
        std::uint16_t bitwise = 0;
        for (auto& b : data) {
            bitwise ^= static_cast<std::uint16_t>((b = static_cast<std::uint8_t>(rng())) << 8);
            for (int i = 0; i < 8; ++i)
                bitwise = static_cast<std::uint16_t>((bitwise & 0x8000) ? (bitwise << 1) ^ 0x8005 : bitwise << 1);
        }
        ASSERT_EQ(CalcCrc16(data.data(), len), bitwise) << len;
        ASSERT_EQ(CalcCrc16Bytewise(data.data(), len), bitwise) << len;
    }
}

} // namespace
