#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/net/BitStream.h"

using net::BitStream;

namespace {

TEST(NetBitStream, NumbersAndTextsTravelBigEndian) {
    BitStream out;
    out.WriteU8(0xAB);
    out.WriteU16(0x1234);
    out.WriteU64(0x0A0B0C0D0E0F1011ull);
    out.WriteI32(-2);
    out.WriteDouble(1.5);
    EXPECT_TRUE(out.WriteText(std::string("h\0i", 3)));
    const std::vector<uint8_t> expected = {0xAB, 0x12, 0x34, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10,
                                           0x11, 0xFF, 0xFF, 0xFF, 0xFE, 0x3F, 0xF8, 0,    0,    0,
                                           0,    0,    0,    0,    0,    0,    3,    'h',  0,    'i'};
    EXPECT_EQ(std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetLength()), expected);

    BitStream in(out.GetData(), out.GetLength());
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint64_t u64 = 0;
    int32_t i32 = 0;
    double d = 0;
    std::string text;
    ASSERT_TRUE(in.ReadU8(u8) && in.ReadU16(u16) && in.ReadU64(u64) && in.ReadI32(i32) && in.ReadDouble(d) &&
                in.ReadText(text));
    EXPECT_TRUE(u16 == 0x1234 && u64 == 0x0A0B0C0D0E0F1011ull && i32 == -2 && d == 1.5);
    EXPECT_EQ(text, std::string("h\0i", 3));
    EXPECT_EQ(in.GetRemaining(), 0u);
}

TEST(NetBitStream, DamagedInputIsRefusedWithoutMovingOrWriting) {
    // A text whose count claims far more than the packet holds.
    const uint8_t damaged[] = {0xFF, 0xFF, 0xFF, 0xF0, 'a', 'b', 0x00, 0x07};
    BitStream in(damaged, sizeof(damaged));
    std::string text = "untouched";
    EXPECT_FALSE(in.ReadText(text));
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(in.GetReadOffset(), 0u);

    // A read that does not fit leaves the output and the position.
    ASSERT_TRUE(in.IgnoreBytes(5));
    uint32_t u32 = 99;
    EXPECT_FALSE(in.ReadU32(u32));
    EXPECT_EQ(u32, 99u);
    EXPECT_FALSE(in.IgnoreBytes(SIZE_MAX));  // cannot wrap around
    EXPECT_EQ(in.GetReadOffset(), 5u);

    // Views are never written to; a view of nothing reads nothing.
    in.WriteU32(5);
    EXPECT_FALSE(in.WriteText("x"));
    EXPECT_EQ(in.GetLength(), sizeof(damaged));
    BitStream none(nullptr, 10);
    uint8_t u8 = 0;
    EXPECT_FALSE(none.ReadU8(u8));
}

}  // namespace
