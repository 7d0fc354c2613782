// Damaged files by the thousand: each gives a clear result, never a crash or a read past
// the data (every input sits in an exactly sized heap block, so ASan sees any overread).
#include "firmware/FirmwareImage.h"
#include "tests/firmware/FirmwareFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

namespace {

// Some damage keeps the length fields consistent, to reach the later checks too.
Bytes Damage(std::mt19937& rng, Bytes f)
{
    const auto any = [&] { return static_cast<std::uint32_t>(rng()); };
    const std::size_t body = kFirmwareHeaderSize + any() % (f.size() - kFirmwareHeaderSize);
    switch (any() % 6) {
    case 0: f.resize(any() % (f.size() + 1)); break;                     // truncation
    case 1: f[any() % f.size()] ^= std::uint8_t(1u << any() % 8); break;  // a bit anywhere
    case 2: f[body] ^= std::uint8_t(1u << any() % 8); break;              // a bit in the stream
    case 3: PutBigEndian32(f, 20, static_cast<std::uint32_t>(f.size() - 23 + any() % 1000)); break;
    case 4:  // huge declared sizes
        PutBigEndian32(f, 20, 0xFFFFFFFFu - any() % 16);
        PutBigEndian32(f, 4, any() % 2 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(f.size() - 8));
        break;
    default:  // the stream cut short, the header fixed up to match
        f.resize(body);
        PutBigEndian32(f, 4, static_cast<std::uint32_t>(body - 8));
        PutBigEndian32(f, 20, static_cast<std::uint32_t>(body - 24));
        break;
    }
    return f;
}

TEST(FirmwareImageFuzz, DamagedFilesGiveAResultAndKeepTheHeldImage)
{
    std::mt19937 rng(20261206);
    const auto good = NoiseImage(3000, 6);
    const auto goodFile = MakeFirmwareFile(good, "1.23");
    CFirmwareImage img;
    ASSERT_EQ(img.Load(goodFile.data(), static_cast<std::uint32_t>(goodFile.size())), FW_LOAD_OK);

    int counts[7] = {};
    for (int round = 0; round < 8000; ++round) {
        const auto file = Damage(rng, goodFile);
        auto exact = std::make_unique<std::uint8_t[]>(file.size() + 1);
        std::copy(file.begin(), file.end(), exact.get());
        const std::int32_t r = img.Load(exact.get(), static_cast<std::uint32_t>(file.size()));
        ASSERT_TRUE(r == FW_LOAD_OK || r == FW_LOAD_INVALID || r == FW_LOAD_INFLATE_FAILED) << r;
        ++counts[-r];
        std::uint32_t len = 0;
        std::uint16_t crc = 0;
        const std::uint8_t* p = img.GetImage(&len, &crc);
        ASSERT_EQ(CalcCrc16(p, len), crc);
        if (r != FW_LOAD_OK) {
            ASSERT_EQ(len, good.size());
            ASSERT_EQ(std::memcmp(p, good.data(), len), 0);
        } else {  // damage nobody checks (the reserved field): back to the known image
            ASSERT_EQ(img.Load(goodFile.data(), static_cast<std::uint32_t>(goodFile.size())), FW_LOAD_OK);
        }
    }
    EXPECT_GT(counts[5], 1000) << "damage reached the header checks";
    EXPECT_GT(counts[6], 1000) << "and the inflate";
}

} // namespace
