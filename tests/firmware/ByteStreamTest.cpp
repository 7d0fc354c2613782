#include "firmware/ByteStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ByteStream, GrowsInBlockSteps)
{
    std::vector<char> bytes(8192, 'a');
    CByteStream s, exact;
    ASSERT_TRUE(s.Create() && exact.Create());
    ASSERT_EQ(s.Write(bytes.data(), 4096), 4096);
    EXPECT_EQ(s.GetCapacity(), 4096) << "a fresh stream takes 4096 bytes without growing";
    ASSERT_EQ(s.Write("b", 1), 1);
    EXPECT_EQ(s.GetCapacity(), 8192);
    EXPECT_EQ(s.GetLength(), 4097);
    EXPECT_EQ(s.GetData()[4096], 'b');
    ASSERT_EQ(exact.Write(bytes.data(), 8192), 8192);
    EXPECT_EQ(exact.GetCapacity(), 12288) << "an exact multiple still gains a further block";
    EXPECT_EQ(s.Write("x", -1), 0);
    EXPECT_EQ(s.GetLength(), 4097);
}

TEST(ByteStream, BigEndianFieldsAndBoundedReads)
{
    CByteStream s;
    ASSERT_TRUE(s.Create());
    ASSERT_EQ(s.WriteUInt32(0x01020304), 4);
    ASSERT_EQ(s.WriteUInt16(0x1234), 2);
    EXPECT_EQ(std::vector<unsigned char>(s.GetData(), s.GetData() + s.GetLength()),
              (std::vector<unsigned char>{1, 2, 3, 4, 0x12, 0x34}));
    std::uint16_t w = 0;
    std::uint32_t d = 0;
    EXPECT_EQ(s.ReadUInt16(&w), 0) << "the writes left the cursor at the end";
    ASSERT_TRUE(s.Seek(0));
    EXPECT_EQ(s.ReadUInt32(&d), 4);
    EXPECT_EQ(d, 0x01020304u);
    EXPECT_EQ(s.ReadUInt16(&w), 2);
    EXPECT_EQ(w, 0x1234);
    ASSERT_TRUE(s.Seek(3));
    d = 7;
    EXPECT_EQ(s.ReadUInt32(&d), 0) << "only 3 bytes remain";
    EXPECT_EQ(d, 7u);
    EXPECT_EQ(s.GetPosition(), 3);
    EXPECT_FALSE(s.Seek(7)) << "not past the bytes written";
}

TEST(ByteStream, WithoutStorageEverythingAnswersZero)
{
    CByteStream s;
    char c;
    EXPECT_EQ(s.Write("x", 1), 0);
    EXPECT_EQ(s.Read(&c, 1), 0);
    ASSERT_TRUE(s.Create());
    s.Free();
    s.Free();
    EXPECT_EQ(s.GetData(), nullptr);
    EXPECT_EQ(s.Write("x", 1), 0);
}

} // namespace
