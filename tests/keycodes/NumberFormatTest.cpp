#include "keycodes/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>

TEST(NumberFormat, Decimal)
{
    EXPECT_EQ(FormatDecimal(0), "0");
    EXPECT_EQ(FormatDecimal(-1), "-1");
    EXPECT_EQ(FormatDecimal(std::numeric_limits<int32_t>::min()), "-2147483648");
    EXPECT_EQ(FormatUnsigned(0xFFFFFFFFu), "4294967295");
    EXPECT_EQ(FormatUnsigned(0), "0");
}

TEST(NumberFormat, HexWidthIsAMinimum)
{
    struct Case
    {
        uint32_t value;
        int bytes;
        const char* text;
    };
    const Case cases[] = {
        {0x7, 1, "0x07"},          {0x1234, 1, "0x1234"},
        {0xAB, 2, "0x00AB"},       {0xAB, 3, "0x0000AB"},
        {5, 0, "0x00000005"},      {5, 4, "0x00000005"},
        {5, -1, "0x00000005"},     {0xFFFFFFFF, 1, "0xFFFFFFFF"},
        {0xe104, 2, "0xE104"},     {0, 1, "0x00"},
        {0x123, 1, "0x123"},       {0x10000, 2, "0x10000"},
        {0xABCDEF, 3, "0xABCDEF"}, {0x1ABCDEF, 3, "0x1ABCDEF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatHex(c.value, c.bytes), c.text) << c.value << " " << c.bytes;
        std::string text = "K,";
        AppendHex(text, c.value, c.bytes);
        EXPECT_EQ(text, std::string("K,") + c.text) << c.value << " " << c.bytes;
    }
}
