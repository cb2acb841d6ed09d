#include "core/base/ByteBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(ByteBuffer, ByteOrdersAndRoundTrips) {
    uint8_t buffer[64] = {};
    uint32_t cursor = 0;
    BufferWriteInt32BE(0x01020304, &cursor, buffer);
    BufferWriteUInt32Raw(0x01020304u, &cursor, buffer);
    BufferWriteInt32BE(-2, &cursor, buffer);
    const uint8_t expected[] = {1, 2, 3, 4, 4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFE};
    ASSERT_EQ(cursor, sizeof expected);
    EXPECT_EQ(std::memcmp(buffer, expected, sizeof expected), 0);

    float f = -1.5f;
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    int target = 0;
    BufferWriteUInt32Raw(bits, &cursor, buffer);
    BufferWritePointerRaw(&target, &cursor, buffer);
    uint32_t beforeString = cursor;
    BufferWriteString("", &cursor, buffer);
    EXPECT_EQ(cursor, beforeString + 1);  // the empty string is one zero byte
    BufferWriteString(std::string("Hi"), &cursor, buffer);
    const uint8_t raw[] = {9, 8, 7};
    BufferWriteBytes(raw, 3, &cursor, buffer);
    uint32_t written = cursor;

    cursor = 0;
    EXPECT_EQ(BufferReadInt32BE(&cursor, buffer), 0x01020304);
    EXPECT_EQ(cursor, 4u);
    EXPECT_EQ(BufferReadUInt32Raw(&cursor, buffer), 0x01020304u);
    EXPECT_EQ(BufferReadInt32BE(&cursor, buffer), -2);
    EXPECT_EQ(BufferReadFloatRaw(&cursor, buffer), -1.5f);
    EXPECT_EQ(BufferReadPointerRaw(&cursor, buffer), &target);  // the full pointer survives
    EXPECT_EQ(BufferReadString(&cursor, buffer), "");
    EXPECT_EQ(BufferReadString(&cursor, buffer), "Hi");
    uint8_t into[3] = {};
    BufferReadBytesInto(into, 3, &cursor, buffer);
    EXPECT_EQ(std::memcmp(into, raw, 3), 0);
    EXPECT_EQ(cursor, written);

    // A null buffer writes and reads nothing and leaves the cursor alone.
    BufferWriteInt32BE(1, &cursor, nullptr);
    BufferWriteString("abc", &cursor, nullptr);
    EXPECT_EQ(BufferReadInt32BE(&cursor, nullptr), 0);
    EXPECT_TRUE(BufferReadBytes(2, &cursor, nullptr).empty());
    EXPECT_EQ(cursor, written);
}

TEST(ByteBuffer, CheckedReadersStopAtTheEndOfTheData) {
    const uint8_t data[] = {0, 0, 0, 7, 'a', 'b', 0, 'c', 'd'};
    const uint32_t size = sizeof data;
    uint32_t cursor = 0;
    int32_t i = -1;
    ASSERT_TRUE(BufferReadInt32BEChecked(&cursor, data, size, &i));
    EXPECT_EQ(i, 7);
    std::string s = "untouched";
    ASSERT_TRUE(BufferReadStringChecked(&cursor, data, size, &s));
    EXPECT_EQ(s, "ab");
    EXPECT_EQ(cursor, 7u);

    // "cd" has no terminating zero inside the data.
    s = "untouched";
    EXPECT_FALSE(BufferReadStringChecked(&cursor, data, size, &s));
    EXPECT_EQ(s, "untouched");
    // Two bytes remain: a 4-byte item does not fit.
    uint32_t u = 99;
    EXPECT_FALSE(BufferReadUInt32RawChecked(&cursor, data, size, &u));
    EXPECT_EQ(u, 99u);
    EXPECT_EQ(cursor, 7u);

    std::vector<uint8_t> bytes;
    EXPECT_FALSE(BufferReadBytesChecked(3, &cursor, data, size, &bytes));
    ASSERT_TRUE(BufferReadBytesChecked(2, &cursor, data, size, &bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'c', 'd'}));
    // Exactly at the end: nothing more, not even an empty string.
    EXPECT_FALSE(BufferReadStringChecked(&cursor, data, size, &s));

    // A cursor far past the data, and a count that would wrap in 32 bits.
    cursor = 0xFFFFFFFEu;
    EXPECT_FALSE(BufferReadInt32BEChecked(&cursor, data, size, &i));
    cursor = 4;
    uint8_t out[4] = {};
    EXPECT_FALSE(BufferReadBytesIntoChecked(out, 0xFFFFFFFFu, &cursor, data, size));
    EXPECT_FALSE(BufferReadInt32BEChecked(&cursor, nullptr, size, &i));
    EXPECT_EQ(cursor, 4u);
}
