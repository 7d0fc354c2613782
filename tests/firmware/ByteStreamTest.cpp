#include "firmware/ByteStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ByteStream, GrowsInSteps)
{
    CByteStream s;
    ASSERT_TRUE(s.Create());
    EXPECT_EQ(s.GetCapacity(), 4096);
    EXPECT_EQ(s.GetLength(), 0);

    std::vector<char> chunk(4096, 'a');
    ASSERT_EQ(s.Write(chunk.data(), 4096), 4096);
    EXPECT_EQ(s.GetCapacity(), 4096) << "a fresh stream takes 4096 bytes without growing";
    ASSERT_EQ(s.Write("b", 1), 1);
    EXPECT_EQ(s.GetCapacity(), 8192);
    EXPECT_EQ(s.GetLength(), 4097);
    EXPECT_EQ(s.GetData()[4095], 'a');
    EXPECT_EQ(s.GetData()[4096], 'b');

    CByteStream exact;
    ASSERT_TRUE(exact.Create());
    std::vector<char> big(8192, 'c');
    ASSERT_EQ(exact.Write(big.data(), 8192), 8192);
    EXPECT_EQ(exact.GetCapacity(), 12288) << "an exact multiple still gains a further block";
}

TEST(ByteStream, FillsInKilobyteChunksAsTheReadersDo)
{
    CByteStream s;
    ASSERT_TRUE(s.Create());
    std::vector<unsigned char> chunk(1024);
    for (int i = 0; i < 100; ++i) {
        std::fill(chunk.begin(), chunk.end(), static_cast<unsigned char>(i));
        ASSERT_EQ(s.Write(chunk.data(), 1024), 1024);
        EXPECT_EQ(s.GetCapacity() % 4096, 0);
    }
    ASSERT_EQ(s.GetLength(), 102400);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(s.GetData()[i * 1024 + 1023], i);
}

TEST(ByteStream, BigEndianFieldsAndBoundedReads)
{
    CByteStream s;
    ASSERT_TRUE(s.Create());
    ASSERT_EQ(s.WriteUInt32(0x01020304), 4);
    ASSERT_EQ(s.WriteUInt16(0x1234), 2);
    const std::vector<unsigned char> expected{1, 2, 3, 4, 0x12, 0x34};
    EXPECT_EQ(std::vector<unsigned char>(s.GetData(), s.GetData() + s.GetLength()), expected);

    // Reading happens at the cursor, which the writes have moved to the end.
    std::uint16_t w = 0;
    EXPECT_EQ(s.ReadUInt16(&w), 0);
    EXPECT_EQ(s.GetPosition(), 6);

    ASSERT_TRUE(s.Seek(0));
    std::uint32_t d = 0;
    EXPECT_EQ(s.ReadUInt32(&d), 4);
    EXPECT_EQ(d, 0x01020304u);
    EXPECT_EQ(s.ReadUInt16(&w), 2);
    EXPECT_EQ(w, 0x1234);

    ASSERT_TRUE(s.Seek(3));
    d = 0xDEADBEEF;
    EXPECT_EQ(s.ReadUInt32(&d), 0) << "only 3 bytes remain";
    EXPECT_EQ(d, 0xDEADBEEFu) << "a short read leaves the output untouched";
    EXPECT_EQ(s.GetPosition(), 3) << "and the cursor where it was";
    char three[3];
    EXPECT_EQ(s.Read(three, 3), 3);
    EXPECT_EQ(s.GetPosition(), 6);

    EXPECT_FALSE(s.Seek(7)) << "the cursor cannot be put past the bytes written";
    EXPECT_FALSE(s.Seek(-1));
    EXPECT_EQ(s.GetPosition(), 6);
}

TEST(ByteStream, WithoutStorageEverythingAnswersZero)
{
    CByteStream s;
    EXPECT_EQ(s.Write("x", 1), 0);
    char c;
    EXPECT_EQ(s.Read(&c, 1), 0);
    EXPECT_EQ(s.GetData(), nullptr);
    EXPECT_EQ(s.GetLength(), 0);
    s.Free();
    ASSERT_TRUE(s.Create());
    s.Free();
    EXPECT_EQ(s.GetData(), nullptr);
    EXPECT_EQ(s.Write("x", 1), 0);
}

TEST(ByteStream, NegativeCountIsRefused)
{
    CByteStream s;
    ASSERT_TRUE(s.Create());
    EXPECT_EQ(s.Write("x", -1), 0);
    EXPECT_EQ(s.GetLength(), 0);
    char c;
    EXPECT_EQ(s.Read(&c, -1), 0);
}

} // namespace
