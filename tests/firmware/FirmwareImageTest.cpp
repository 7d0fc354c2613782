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
    auto file = MakeFirmwareFile(NoiseImage(100, 2));
    file[3] = ' ';  // "QX1 "
    EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID);
    EXPECT_EQ(img.GetStatus(), -1);

    for (int delta : {-1, +1}) {
        file = MakeFirmwareFile(NoiseImage(100, 2));
        PutBigEndian32(file, 4, static_cast<std::uint32_t>(file.size() - 8 + delta));
        EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID) << delta;
        EXPECT_EQ(img.GetStatus(), 0) << "the magic was recognised";
    }
    // Shorter than the header, each with a length field matching its size.
    for (std::uint32_t size : {0u, 3u, 4u, 8u, 25u}) {
        Bytes shortFile(size + 1, 0);  // the magic's bytes, then cut to size
        std::memcpy(shortFile.data(), "QX1", std::min<std::uint32_t>(size, 4));
        shortFile.resize(size);
        if (size >= 8)
            PutBigEndian32(shortFile, 4, size - 8);
        EXPECT_EQ(LoadExact(img, shortFile), FW_LOAD_INVALID) << size;
    }
    // A compressed length past the end of the data (by one byte, or wildly), or below 2.
    for (std::uint32_t fieldL : {0u, 1u, 0xFFFFFFFFu, 0x80000000u, 0u}) {
        file = MakeFirmwareFile(NoiseImage(100, 2));
        PutBigEndian32(file, 20, fieldL ? fieldL : static_cast<std::uint32_t>(file.size() - 23));
        EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID) << fieldL;
    }
    EXPECT_EQ(img.GetImage(nullptr, nullptr), nullptr);
}

TEST(FirmwareImage, BadStreamsFailToInflate)
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
}

TEST(FirmwareImage, ImageMayBeThreeTimesItsStreamToTheByte)
{
    // zlib ignores bytes after its stream's end, so padding sets the compressed length,
    // and with it the room given to the image, exactly.
    const Bytes image(30000, 0x5A);
    auto stream = Deflate(image);
    ASSERT_LT(stream.size(), 9999u);
    CFirmwareImage img;
    stream.resize(10000, 0);
    EXPECT_EQ(LoadExact(img, FileAroundStream(stream, CalcCrc16(image.data(), 30000))), FW_LOAD_OK);
    stream.resize(9999);
    EXPECT_EQ(LoadExact(img, FileAroundStream(stream, CalcCrc16(image.data(), 30000))), FW_LOAD_INFLATE_FAILED);
}

TEST(FirmwareImage, InflatedSizeIsBoundedWhateverTheFileSays)
{
    // A stream that would inflate past the bound, padded so that three times its length
    // allows it: the loader stops at the bound instead of taking what the file asks for.
    auto stream = Deflate(Bytes(kMaxFirmwareImageLength + 4096, 0x55), 1);
    stream.resize(kMaxFirmwareImageLength / 3 + 4096, 0);
    CFirmwareImage img;
    EXPECT_EQ(LoadExact(img, FileAroundStream(stream, 0)), FW_LOAD_INFLATE_FAILED);
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
