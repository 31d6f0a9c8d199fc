// The packet reader and writer never step outside their buffers.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"

namespace {

TEST(ByteStream, RoundTripLittleEndian) {
    std::array<uint8_t, 32> buf{};
    CByteWriter w(buf);
    w.WriteU8(0x12);
    w.WriteU16(0x3456);
    w.WriteU32(0x789ABCDEu);
    w.WriteU64(0x0102030405060708ull);
    w.WriteText("hey", 5);
    ASSERT_TRUE(w.Ok());
    EXPECT_EQ(w.Position(), 20u);
    EXPECT_EQ(buf[1], 0x56);
    EXPECT_EQ(buf[2], 0x34);
    EXPECT_EQ(buf[3], 0xDE);

    CByteReader r(buf.data(), w.Position());
    EXPECT_EQ(r.ReadU8(), 0x12);
    EXPECT_EQ(r.ReadU16(), 0x3456);
    EXPECT_EQ(r.ReadU32(), 0x789ABCDEu);
    EXPECT_EQ(r.ReadU64(), 0x0102030405060708ull);
    char text[8];
    EXPECT_TRUE(r.ReadText(text, sizeof(text), 5));
    EXPECT_STREQ(text, "hey");
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ByteStream, ReadingPastTheEndFailsWithZeroes) {
    const uint8_t data[3] = {1, 2, 3};
    CByteReader r(data, sizeof(data));
    EXPECT_EQ(r.ReadU16(), 0x0201);
    EXPECT_EQ(r.ReadU32(), 0u);  // only one byte left
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.ReadU8(), 0);  // the failure sticks
    uint8_t out[4] = {9, 9, 9, 9};
    EXPECT_FALSE(r.ReadBytes(out, 4));
    EXPECT_EQ(out[0], 0);
    CByteReader s(data, sizeof(data));
    EXPECT_FALSE(s.Seek(4));
    EXPECT_FALSE(s.Ok());
}

TEST(ByteStream, TextFieldsAreBounded) {
    // An unterminated field is cut to the caller's buffer and terminated.
    const uint8_t field[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    CByteReader r(field, sizeof(field));
    char small[4];
    EXPECT_TRUE(r.ReadText(small, sizeof(small), 6));
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(r.Position(), 6u);
}

TEST(ByteStream, WritingPastTheEndWritesNothing) {
    std::array<uint8_t, 5> buf{};
    buf.fill(0xEE);
    CByteWriter w(buf);
    EXPECT_TRUE(w.WriteU32(1));
    EXPECT_FALSE(w.WriteU16(2));
    EXPECT_FALSE(w.Ok());
    EXPECT_EQ(buf[4], 0xEE);
    EXPECT_FALSE(w.WriteU8(3));  // the failure sticks
}

TEST(ByteStream, TextFieldsAreCutWholeCharacters) {
    std::array<uint8_t, 4> buf{};
    CByteWriter w(buf);
    EXPECT_TRUE(w.WriteText("ab\xb0\xa1", 4));  // the double-byte character does not fit in 3 bytes
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buf.data())), "ab");
    EXPECT_EQ(buf[3], 0);
}

}  // namespace
