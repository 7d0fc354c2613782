// Damaged files by the thousand: every one must give a clear result, never a crash or a
// read past the data (each input sits in an exactly sized heap block, so ASan sees it).
#include "firmware/FirmwareImage.h"
#include "tests/firmware/FirmwareFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> RandomImage(std::mt19937& rng, std::size_t n)
{
    // A small alphabet keeps the stream compressible, like real firmware.
    std::vector<std::uint8_t> v(n);
    for (auto& b : v)
        b = static_cast<std::uint8_t>(rng() % 16);
    return v;
}

void Put32(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// One damage of a kind picked by the generator; keeps the length field consistent half the
// time so that damage reaches the later checks too.
std::vector<std::uint8_t> Damage(std::mt19937& rng, std::vector<std::uint8_t> f)
{
    switch (rng() % 6) {
    case 0:  // truncation
        f.resize(rng() % (f.size() + 1));
        break;
    case 1: {  // bit flips anywhere
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < flips; ++i)
            f[rng() % f.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        break;
    }
    case 2:  // compressed length past the end, or anywhere
        Put32(f, 20, rng() % 2 ? static_cast<std::uint32_t>(f.size() - 24 + 1 + rng() % 1000) : static_cast<std::uint32_t>(rng()));
        break;
    case 3:  // huge declared sizes
        Put32(f, 20, 0xFFFFFFFFu - rng() % 16);
        Put32(f, 4, rng() % 2 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(f.size() - 8));
        break;
    case 4: {  // bit flips inside the stream, length fields kept right
        const std::size_t at = kFirmwareHeaderSize + rng() % (f.size() - kFirmwareHeaderSize);
        f[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        break;
    }
    default: {  // the stream cut short, header fixed up to match the new size
        const std::size_t keep = kFirmwareHeaderSize + rng() % (f.size() - kFirmwareHeaderSize);
        f.resize(keep);
        Put32(f, 4, static_cast<std::uint32_t>(keep - 8));
        Put32(f, 20, static_cast<std::uint32_t>(keep - 24));
        break;
    }
    }
    return f;
}

TEST(FirmwareImageFuzz, DamagedFilesGiveAResultAndKeepTheHeldImage)
{
    std::mt19937 rng(20261206);
    const auto good = RandomImage(rng, 3000);
    const auto goodFile = MakeFirmwareFile(good, {.version = "1.23"});
    CFirmwareImage img;
    ASSERT_EQ(img.Load(goodFile.data(), static_cast<std::uint32_t>(goodFile.size())), FW_LOAD_OK);

    int counts[7] = {};
    for (int round = 0; round < 6000; ++round) {
        const auto file = Damage(rng, goodFile);
        auto exact = std::make_unique<std::uint8_t[]>(file.size() + (file.empty() ? 1 : 0));
        if (!file.empty())
            std::memcpy(exact.get(), file.data(), file.size());
        const std::int32_t r = img.Load(exact.get(), static_cast<std::uint32_t>(file.size()));
        ASSERT_TRUE(r == FW_LOAD_OK || r == FW_LOAD_INVALID || r == FW_LOAD_INFLATE_FAILED) << r;
        ++counts[-r];

        // Whatever happened, the image held is a good one: the original, or (when damage
        // only hit bytes nobody checks) one whose CRC still matches.
        std::uint32_t len = 0;
        std::uint16_t crc = 0;
        const std::uint8_t* p = img.GetImage(&len, &crc);
        ASSERT_NE(p, nullptr);
        ASSERT_EQ(CalcCrc16(p, len), crc);
        if (r != FW_LOAD_OK) {
            ASSERT_EQ(len, good.size());
            ASSERT_EQ(std::memcmp(p, good.data(), len), 0);
        }
        if (r == FW_LOAD_OK) {  // back to the known image for the next round
            ASSERT_EQ(img.Load(goodFile.data(), static_cast<std::uint32_t>(goodFile.size())), FW_LOAD_OK);
        }
    }
    // The damage reached every check, not just the first one.
    EXPECT_GT(counts[5], 500);
    EXPECT_GT(counts[6], 500);
}

TEST(FirmwareImageFuzz, RandomBytesBehindAValidHeader)
{
    std::mt19937 rng(99);
    CFirmwareImage img;
    for (int round = 0; round < 3000; ++round) {
        const std::size_t size = rng() % 200;
        auto exact = std::make_unique<std::uint8_t[]>(size + 1);
        for (std::size_t i = 0; i < size; ++i)
            exact[i] = static_cast<std::uint8_t>(rng());
        if (size >= 4) {
            const std::uint8_t magic[4] = {'Q', 'X', '1', 0};
            std::memcpy(exact.get(), magic, 4);
        }
        if (size >= 8) {
            for (int i = 0; i < 4; ++i)
                exact[4 + i] = static_cast<std::uint8_t>((size - 8) >> (24 - 8 * i));
        }
        if (size >= 24 && rng() % 2) {
            for (int i = 0; i < 4; ++i)
                exact[20 + i] = static_cast<std::uint8_t>((size - 24) >> (24 - 8 * i));
        }
        const std::int32_t r = img.Load(exact.get(), static_cast<std::uint32_t>(size));
        ASSERT_TRUE(r == FW_LOAD_INVALID || r == FW_LOAD_INFLATE_FAILED) << r << " size " << size;
        ASSERT_EQ(img.GetImage(nullptr, nullptr), nullptr);
    }
}

} // namespace
