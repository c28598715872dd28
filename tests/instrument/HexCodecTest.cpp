// Numbers on the instrument's ASCII wire.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "instrument/protocol/HexCodec.h"

namespace lt {
namespace {

TEST(HexCodec, DecodesValuesLowestByteFirst)
{
    float one = 0;
    ASSERT_TRUE(HexDecodeFloats("0000803F", 0, 1, &one));
    EXPECT_EQ(one, 1.0f);

    std::uint32_t values[2] = {};
    ASSERT_TRUE(HexDecode32("xx78563412efbeadde", 2, 2, values));
    EXPECT_EQ(values[0], 0x12345678u);
    EXPECT_EQ(values[1], 0xDEADBEEFu);

    std::uint16_t position[2] = {};
    ASSERT_TRUE(HexDecode16(":D181F4013200", 5, 2, position));
    EXPECT_EQ(position[0], 500);
    EXPECT_EQ(position[1], 50);
}

TEST(HexCodec, EncodesUpperCaseAndLeavesTheFollowingCharacters)
{
    char message[] = ";D00000XXXXYYYY\r\n";
    const std::uint16_t xy[2] = {500, 50};
    ASSERT_TRUE(HexEncode16(message, sizeof message - 1, 7, 2, xy));
    EXPECT_STREQ(message, ";D00000F4013200\r\n");

    char field[9] = "--------";
    const std::uint32_t value = 0x3F800000; // 1.0f
    ASSERT_TRUE(HexEncode32(field, 8, 0, 1, &value));
    EXPECT_STREQ(field, "0000803F");

    const std::uint32_t mixed = 0xABCDEF01;
    ASSERT_TRUE(HexEncode32(field, 8, 0, 1, &mixed));
    EXPECT_STREQ(field, "01EFCDAB");
}

TEST(HexCodec, RoundTripsEveryByteValue)
{
    for (std::uint32_t b = 0; b < 256; ++b) {
        const std::uint32_t value = b * 0x01010101u ^ 0x00FF00A5u;
        char text[8];
        ASSERT_TRUE(HexEncode32(text, sizeof text, 0, 1, &value));
        std::uint32_t back = 0;
        ASSERT_TRUE(HexDecode32(std::string_view(text, 8), 0, 1, &back));
        EXPECT_EQ(back, value);
    }
}

TEST(HexCodec, RefusesBrokenFieldsWithoutTouchingTheDestination)
{
    std::uint32_t values[2] = {7, 7};
    EXPECT_FALSE(HexDecode32("0000803F0000G03F", 0, 2, values)) << "a non-hex character";
    EXPECT_FALSE(HexDecode32("0000803F0000", 0, 2, values)) << "text ends inside the second field";
    EXPECT_FALSE(HexDecode32("0000803F", 9, 1, values)) << "start beyond the text";
    EXPECT_FALSE(HexDecode32("0000 03F", 0, 1, values)) << "a blank inside the field";
    EXPECT_EQ(values[0], 7u);
    EXPECT_EQ(values[1], 7u);

    std::uint16_t small = 9;
    EXPECT_FALSE(HexDecode16("F40", 0, 1, &small));
    EXPECT_EQ(small, 9);

    char tiny[6] = "abcde";
    const std::uint16_t v = 1;
    EXPECT_FALSE(HexEncode16(tiny, 5, 2, 1, &v)) << "field would run past the buffer";
    EXPECT_STREQ(tiny, "abcde");
}

TEST(HexCodec, HugeCountsDoNotOverflowTheBoundsCheck)
{
    std::uint32_t value = 0;
    EXPECT_FALSE(HexDecode32("00000000", 0, SIZE_MAX / 4, &value));
    char text[8];
    EXPECT_FALSE(HexEncode32(text, sizeof text, 0, SIZE_MAX / 4, &value));
}

} // namespace
} // namespace lt
