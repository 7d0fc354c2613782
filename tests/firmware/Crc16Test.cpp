#include "firmware/Crc16.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

namespace {

std::uint16_t Crc(std::string_view s)
{
    return CalcCrc16(reinterpret_cast<const std::uint8_t*>(s.data()), static_cast<std::uint32_t>(s.size()));
}

TEST(Crc16, CatalogueCheckValues)
{
    EXPECT_EQ(Crc("123456789"), 0xFEE8);
    EXPECT_EQ(Crc("abc"), 0xCADB);
    EXPECT_EQ(Crc(""), 0);
    EXPECT_EQ(CalcCrc16(nullptr, 0), 0);
}

TEST(Crc16, TableFollowsThePolynomial)
{
    const std::uint16_t* t = Crc16Table();
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1], 0x8005);
    EXPECT_EQ(t[2], 0x800F);
    EXPECT_EQ(t[0x80], 0x8303);
    EXPECT_EQ(t[0xFF], 0x0202);
}

// The bitwise definition, independent of any table.
std::uint16_t BitwiseCrc(const std::vector<std::uint8_t>& data)
{
    std::uint16_t crc = 0;
    for (std::uint8_t b : data) {
        crc ^= static_cast<std::uint16_t>(b << 8);
        for (int i = 0; i < 8; ++i)
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1);
    }
    return crc;
}

TEST(Crc16, FastSumEqualsTheBitwiseDefinitionAtEveryLength)
{
    std::mt19937 rng(7);
    for (std::uint32_t len = 0; len < 300; ++len) {
        std::vector<std::uint8_t> data(len);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(rng());
        const std::uint16_t expected = BitwiseCrc(data);
        ASSERT_EQ(CalcCrc16(data.data(), len), expected) << "length " << len;
        ASSERT_EQ(CalcCrc16Bytewise(data.data(), len), expected) << "length " << len;
    }
}

} // namespace
