#include "firmware/FirmwareImage.h"
#include "tests/firmware/FirmwareFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Pseudo-random bytes: they compress less than 3:1, as real firmware does.
std::vector<std::uint8_t> Image(std::size_t n, std::uint32_t seed = 1)
{
    std::vector<std::uint8_t> v(n);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : v) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return v;
}

// Loads from an exactly sized heap copy, so that a read past the data is an ASan error.
std::int32_t LoadExact(CFirmwareImage& img, const std::vector<std::uint8_t>& file)
{
    auto copy = std::make_unique<std::uint8_t[]>(file.size());
    if (!file.empty())
        std::memcpy(copy.get(), file.data(), file.size());
    return img.Load(copy.get(), static_cast<std::uint32_t>(file.size()));
}

void SetBigEndian32(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v)
{
    f[at] = std::uint8_t(v >> 24);
    f[at + 1] = std::uint8_t(v >> 16);
    f[at + 2] = std::uint8_t(v >> 8);
    f[at + 3] = std::uint8_t(v);
}

std::string Version(const CFirmwareImage& img)
{
    char v[8];
    img.GetVersion(v);
    return std::string(v, strnlen(v, 8));
}

TEST(FirmwareImage, NewImageHoldsNothing)
{
    CFirmwareImage img;
    EXPECT_EQ(img.GetStatus(), -1);
    std::uint32_t len = 99;
    std::uint16_t crc = 99;
    EXPECT_EQ(img.GetImage(&len, &crc), nullptr);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(crc, 0);
    EXPECT_EQ(Version(img), "");
}

TEST(FirmwareImage, LoadsAWellFormedFile)
{
    const auto image = Image(50000);
    CFirmwareImage img;
    ASSERT_EQ(LoadExact(img, MakeFirmwareFile(image, {.version = "2.03"})), FW_LOAD_OK);
    EXPECT_EQ(img.GetStatus(), 0);
    std::uint32_t len = 0;
    std::uint16_t crc = 0;
    const std::uint8_t* p = img.GetImage(&len, &crc);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(len, image.size());
    EXPECT_EQ(std::memcmp(p, image.data(), len), 0);
    EXPECT_EQ(crc, CalcCrc16(image.data(), len));
    EXPECT_EQ(Version(img), "2.03");
    EXPECT_EQ(img.GetImage(nullptr, nullptr), p);
}

TEST(FirmwareImage, VersionUsingAllEightCharacters)
{
    CFirmwareImage img;
    ASSERT_EQ(LoadExact(img, MakeFirmwareFile(Image(100), {.version = "V12.3456"})), FW_LOAD_OK);
    EXPECT_EQ(Version(img), "V12.3456");
    EXPECT_STREQ(img.GetVersionText(), "V12.3456");
}

TEST(FirmwareImage, RejectsWrongMagicWithoutRecognisingIt)
{
    auto file = MakeFirmwareFile(Image(100));
    file[3] = ' ';
    CFirmwareImage img;
    EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID);
    EXPECT_EQ(img.GetStatus(), -1);
}

TEST(FirmwareImage, RejectsALengthFieldOffByOne)
{
    CFirmwareImage img;
    for (int delta : {-1, +1}) {
        auto file = MakeFirmwareFile(Image(100));
        SetBigEndian32(file, 4, static_cast<std::uint32_t>(file.size() - 8 + delta));
        EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID) << delta;
        EXPECT_EQ(img.GetStatus(), 0) << "the magic was recognised";
    }
}

TEST(FirmwareImage, RejectsDataShorterThanItsHeaderSays)
{
    CFirmwareImage img;
    // Shorter than the header, with a length field that matches the short size.
    for (std::uint32_t size : {0u, 3u, 4u, 7u, 8u, 12u, 25u}) {
        std::vector<std::uint8_t> file(size, 0);
        const std::uint8_t magic[4] = {'Q', 'X', '1', 0};
        if (size > 0)
            std::memcpy(file.data(), magic, std::min<std::uint32_t>(size, 4));
        if (size >= 8)
            SetBigEndian32(file, 4, size - 8);
        EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID) << size;
    }
    // A compressed length running past the end of the data, and one too small for the CRC.
    for (std::uint32_t fieldL : {0u, 1u, 0xFFFFFFFFu, 0x80000000u}) {
        auto file = MakeFirmwareFile(Image(100));
        SetBigEndian32(file, 20, fieldL);
        EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID) << fieldL;
    }
    auto file = MakeFirmwareFile(Image(100));
    SetBigEndian32(file, 20, static_cast<std::uint32_t>(file.size() - 24 + 1));
    EXPECT_EQ(LoadExact(img, file), FW_LOAD_INVALID) << "one byte past the end";
}

TEST(FirmwareImage, RejectsBadStreamsAsInflateFailures)
{
    CFirmwareImage img;
    const auto image = Image(5000);
    auto stream = Deflate(image);
    const std::uint16_t crc = CalcCrc16(image.data(), static_cast<std::uint32_t>(image.size()));

    auto truncated = stream;
    truncated.resize(truncated.size() / 2);
    EXPECT_EQ(LoadExact(img, MakeFirmwareFileFromStream(truncated, crc)), FW_LOAD_INFLATE_FAILED);

    auto damaged = stream;
    damaged[0] ^= 0xFF;  // the zlib header
    EXPECT_EQ(LoadExact(img, MakeFirmwareFileFromStream(damaged, crc)), FW_LOAD_INFLATE_FAILED);

    EXPECT_EQ(LoadExact(img, MakeFirmwareFileFromStream({}, 0)), FW_LOAD_INFLATE_FAILED) << "no stream at all";

    // Zeros compress far better than 3:1, so the image does not fit three times its stream.
    const std::vector<std::uint8_t> zeros(30000, 0);
    EXPECT_EQ(LoadExact(img, MakeFirmwareFile(zeros)), FW_LOAD_INFLATE_FAILED);
    EXPECT_EQ(img.GetImage(nullptr, nullptr), nullptr);
}

TEST(FirmwareImage, ImageMayBeExactlyThreeTimesItsStream)
{
    // zlib ignores bytes after the end of its stream, so padding sets the compressed
    // length, and with it the room given to the image, to the byte.
    const std::vector<std::uint8_t> image(30000, 0x5A);
    const std::uint16_t crc = CalcCrc16(image.data(), 30000);
    auto stream = Deflate(image);
    ASSERT_LT(stream.size(), 9999u);
    CFirmwareImage img;
    stream.resize(10000, 0);
    EXPECT_EQ(LoadExact(img, MakeFirmwareFileFromStream(stream, crc)), FW_LOAD_OK);
    stream.resize(9999);
    EXPECT_EQ(LoadExact(img, MakeFirmwareFileFromStream(stream, crc)), FW_LOAD_INFLATE_FAILED);
}

TEST(FirmwareImage, FailedLoadKeepsThePreviousImage)
{
    const auto first = Image(4000, 3);
    CFirmwareImage img;
    ASSERT_EQ(LoadExact(img, MakeFirmwareFile(first, {.version = "1.00"})), FW_LOAD_OK);
    std::uint32_t len = 0;
    std::uint16_t crc = 0;
    const std::uint8_t* held = img.GetImage(&len, &crc);

    EXPECT_EQ(LoadExact(img, MakeFirmwareFile(Image(6000, 5), {.version = "2.00", .wrongCrc = true})), FW_LOAD_INVALID);
    EXPECT_EQ(img.GetStatus(), 0);
    auto bad = MakeFirmwareFile(Image(6000, 5), {.version = "2.00"});
    bad[1] = 'Y';
    EXPECT_EQ(LoadExact(img, bad), FW_LOAD_INVALID);
    EXPECT_EQ(img.GetStatus(), -1);

    std::uint32_t len2 = 0;
    std::uint16_t crc2 = 0;
    EXPECT_EQ(img.GetImage(&len2, &crc2), held);
    EXPECT_EQ(len2, len);
    EXPECT_EQ(crc2, crc);
    EXPECT_EQ(Version(img), "1.00");
    EXPECT_EQ(std::memcmp(held, first.data(), len), 0);

    // A later good load replaces it.
    const auto second = Image(7000, 9);
    ASSERT_EQ(LoadExact(img, MakeFirmwareFile(second, {.version = "2.00"})), FW_LOAD_OK);
    EXPECT_EQ(img.GetImage(&len2, nullptr) != nullptr, true);
    EXPECT_EQ(len2, second.size());
    EXPECT_EQ(Version(img), "2.00");
}

TEST(FirmwareImage, ClaimedImageSizeIsBoundedWhateverTheHeaderSays)
{
    // A highly compressible stream that would inflate beyond the bound: the loader stops at
    // the bound instead of allocating what the file asks for.
    const std::vector<std::uint8_t> huge(kMaxFirmwareImageLength + 4096, 0x55);
    auto stream = Deflate(huge, Z_BEST_SPEED);
    // Pad the stream with stored junk after its end so that 3 x its length exceeds the bound.
    const std::size_t padded = kMaxFirmwareImageLength / 3 + 1024;
    ASSERT_LT(stream.size(), padded);
    stream.resize(padded, 0);
    CFirmwareImage img;
    EXPECT_EQ(LoadExact(img, MakeFirmwareFileFromStream(stream, 0)), FW_LOAD_INFLATE_FAILED);
}

} // namespace
