#include "firmware/FirmwareImage.h"
#include "tests/firmware/FirmwareFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// Loads from an exactly sized heap copy, so that a read past the data is an ASan error.
std::int32_t LoadExact(CFirmwareImage& img, const Bytes& file)
{
    auto copy = std::make_unique<std::uint8_t[]>(file.size() + 1);
    std::copy(file.begin(), file.end(), copy.get());
    return img.Load(copy.get(), static_cast<std::uint32_t>(file.size()));
}

std::string Version(const CFirmwareImage& img)
{
    char v[8];
    img.GetVersion(v);
    return std::string(v, strnlen(v, 8));
}

TEST(FirmwareImage, LoadsAWellFormedFile)
{
    const auto image = NoiseImage(50000, 1);
    CFirmwareImage img;
    ASSERT_EQ(LoadExact(img, MakeFirmwareFile(image, "2.03")), FW_LOAD_OK);
    EXPECT_EQ(img.GetStatus(), 0);
    std::uint32_t len = 0;
    std::uint16_t crc = 0;
    const std::uint8_t* p = img.GetImage(&len, &crc);
    ASSERT_EQ(len, image.size());
    EXPECT_EQ(std::memcmp(p, image.data(), len), 0);
    EXPECT_EQ(crc, CalcCrc16(image.data(), len));
    EXPECT_EQ(Version(img), "2.03");
    ASSERT_EQ(LoadExact(img, MakeFirmwareFile(image, "V12.3456")), FW_LOAD_OK);
    EXPECT_EQ(Version(img), "V12.3456") << "all eight characters, no terminator in the file";
}

TEST(FirmwareImage, RejectsHeadersWithTheirCodeAndStatus)
{
    CFirmwareImage img;
    const auto good = MakeFirmwareFile(NoiseImage(100, 2));
    const auto n = static_cast<std::uint32_t>(good.size());
    auto file = good;
    file[3] = ' ';  // "QX1 "
    EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID);
    EXPECT_EQ(img.GetStatus(), -1);
    // A total length off by one either way; a compressed length past the end (by one byte,
    // or wildly) or below 2. The magic was recognised each time.
    for (auto [at, value] : {std::pair<int, std::uint32_t>{4, n - 9}, {4, n - 7}, {20, 0u},
                             {20, 1u}, {20, 0xFFFFFFFFu}, {20, 0x80000000u}, {20, n - 23}}) {
        file = good;
        PutBigEndian32(file, at, value);
        EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID) << at << ": " << value;
        EXPECT_EQ(img.GetStatus(), 0) << at << ": " << value;
    }
    // Shorter than the header, each with a length field matching its size.
    for (std::uint32_t size : {0u, 3u, 4u, 8u, 25u}) {
        Bytes shortFile(size + 1, 0);
        std::memcpy(shortFile.data(), "QX1", std::min<std::uint32_t>(size, 4));
        shortFile.resize(size);
        if (size >= 8)
            PutBigEndian32(shortFile, 4, size - 8);
        EXPECT_EQ(LoadExact(img, shortFile), FW_LOAD_INVALID) << size;
    }
    EXPECT_EQ(img.GetImage(nullptr, nullptr), nullptr);
}

TEST(FirmwareImage, BadOrOversizedStreamsFailToInflate)
{
    CFirmwareImage img;
    const auto image = NoiseImage(5000, 3);
    const auto stream = Deflate(image);
    const std::uint16_t crc = CalcCrc16(image.data(), 5000);
    EXPECT_EQ(LoadExact(img, FileAroundStream(Bytes(stream.begin(), stream.begin() + stream.size() / 2), crc)),
              FW_LOAD_INFLATE_FAILED);
    auto damaged = stream;
    damaged[0] ^= 0xFF;  // the zlib header
    EXPECT_EQ(LoadExact(img, FileAroundStream(damaged, crc)), FW_LOAD_INFLATE_FAILED);
    EXPECT_EQ(LoadExact(img, FileAroundStream({}, 0)), FW_LOAD_INFLATE_FAILED);

    // zlib ignores bytes after its stream's end, so padding sets the compressed length, and
    // with it the room for the image (three times it), to the byte.
    const Bytes flat(30000, 0x5A);
    auto padded = Deflate(flat);
    ASSERT_LT(padded.size(), 9999u);
    padded.resize(10000, 0);
    EXPECT_EQ(LoadExact(img, FileAroundStream(padded, CalcCrc16(flat.data(), 30000))), FW_LOAD_OK);
    padded.resize(9999);
    EXPECT_EQ(LoadExact(img, FileAroundStream(padded, CalcCrc16(flat.data(), 30000))), FW_LOAD_INFLATE_FAILED);

    // Past the bound, though three times the padded length would allow it.
    auto huge = Deflate(Bytes(kMaxFirmwareImageLength + 4096, 0x55), 1);
    huge.resize(kMaxFirmwareImageLength / 3 + 4096, 0);
    EXPECT_EQ(LoadExact(img, FileAroundStream(huge, 0)), FW_LOAD_INFLATE_FAILED);
}

TEST(FirmwareImage, FailedLoadKeepsThePreviousImage)
{
    const auto first = NoiseImage(4000, 4);
    CFirmwareImage img;
    ASSERT_EQ(LoadExact(img, MakeFirmwareFile(first, "1.00")), FW_LOAD_OK);
    const std::uint8_t* held = img.GetImage(nullptr, nullptr);
    auto wrongCrc = MakeFirmwareFile(NoiseImage(6000, 5), "2.00");
    wrongCrc[25] ^= 1;
    EXPECT_EQ(LoadExact(img, wrongCrc), FW_LOAD_INVALID);
    EXPECT_EQ(img.GetStatus(), 0);
    std::uint32_t len = 0;
    std::uint16_t crc = 0;
    EXPECT_EQ(img.GetImage(&len, &crc), held);
    EXPECT_EQ(len, first.size());
    EXPECT_EQ(crc, CalcCrc16(first.data(), len));
    EXPECT_EQ(Version(img), "1.00");
    EXPECT_EQ(std::memcmp(held, first.data(), len), 0);
}

} // namespace
