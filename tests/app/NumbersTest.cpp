#include "app/Numbers.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Numbers, EmptyAndPrefixOnlyGiveEmpty)
{
    uint32_t value = 7;
    EXPECT_EQ(ParseU32("", value, 100), ParseEmpty);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(ParseU32(static_cast<const char*>(nullptr), value, 100), ParseEmpty);
    EXPECT_EQ(ParseU32("0x", value, 100), ParseEmpty);
    EXPECT_EQ(ParseU32("0X", value, 100), ParseEmpty);
}

TEST(Numbers, HexadecimalAfterPrefixOnly)
{
    uint32_t value = 0;
    EXPECT_EQ(ParseU32("0X1f", value, 0xFFFFFFFF), ParseOk);
    EXPECT_EQ(value, 31u);
    EXPECT_EQ(ParseU32("0xAbC", value, 0xFFFFFFFF), ParseOk);
    EXPECT_EQ(value, 0xABCu);
    EXPECT_EQ(ParseU32("1f", value, 0xFFFFFFFF), ParseBadDigit);
    EXPECT_EQ(ParseU32("007", value, 0xFFFFFFFF), ParseOk);
    EXPECT_EQ(value, 7u);
}

TEST(Numbers, BadDigitKeepsDigitsSoFar)
{
    uint32_t value = 0;
    EXPECT_EQ(ParseU32("0x1G", value, 0xFFFFFFFF), ParseBadDigit);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(ParseU32("12a", value, 0xFFFFFFFF), ParseBadDigit);
    EXPECT_EQ(value, 12u);
    // No sign and no blanks anywhere.
    EXPECT_EQ(ParseU32("-1", value, 0xFFFFFFFF), ParseBadDigit);
    EXPECT_EQ(ParseU32(" 1", value, 0xFFFFFFFF), ParseBadDigit);
    EXPECT_EQ(ParseU32("1 ", value, 0xFFFFFFFF), ParseBadDigit);
    EXPECT_EQ(value, 1u);
}

TEST(Numbers, MaximumIsInclusive)
{
    uint8_t byte = 0;
    EXPECT_EQ(ParseU8("255", byte, 255), ParseOk);
    EXPECT_EQ(byte, 255);
    EXPECT_EQ(ParseU8("256", byte, 255), ParseTooLarge);
    EXPECT_EQ(ParseU8("300", byte, 255), ParseTooLarge);
    EXPECT_EQ(ParseU8("9", byte, 9), ParseOk);
    EXPECT_EQ(ParseU8("10", byte, 9), ParseTooLarge);
    EXPECT_EQ(byte, 10) << "a value above the maximum is stored before the check";

    uint32_t word = 0;
    EXPECT_EQ(ParseU32("4294967295", word, 0xFFFFFFFF), ParseOk);
    EXPECT_EQ(word, 0xFFFFFFFFu);
    EXPECT_EQ(ParseU32("4294967296", word, 0xFFFFFFFF), ParseTooLarge);
    EXPECT_EQ(word, 429496729u) << "a value too large for the type is not stored";
}

TEST(Numbers, SixtyFourBitBoundsDoNotWrap)
{
    uint64_t value = 0;
    const uint64_t max = std::numeric_limits<uint64_t>::max();
    EXPECT_EQ(ParseU64("18446744073709551615", value, max), ParseOk);
    EXPECT_EQ(value, max);
    EXPECT_EQ(ParseU64("18446744073709551616", value, max), ParseTooLarge);
    EXPECT_EQ(ParseU64("0x10000000000000000", value, max), ParseTooLarge);

    int64_t signedValue = 0;
    EXPECT_EQ(ParseS64("9223372036854775807", signedValue, std::numeric_limits<int64_t>::max()), ParseOk);
    EXPECT_EQ(ParseS64("9223372036854775808", signedValue, std::numeric_limits<int64_t>::max()),
              ParseTooLarge);
}

TEST(Numbers, SignedTypesRangeAndSignedMaximum)
{
    int8_t small = 0;
    EXPECT_EQ(ParseS8("127", small, 127), ParseOk);
    EXPECT_EQ(ParseS8("128", small, 127), ParseTooLarge);
    EXPECT_EQ(small, 12);
    // A negative maximum refuses every value, zero included.
    int16_t half = 0;
    EXPECT_EQ(ParseS16("0", half, -1), ParseTooLarge);
    int32_t word = 0;
    EXPECT_EQ(ParseS32("0x7FFFFFFF", word, 0x7FFFFFFF), ParseOk);
    EXPECT_EQ(ParseS32("0x80000000", word, 0x7FFFFFFF), ParseTooLarge);
}

TEST(Numbers, ValueLayerGivesZeroOnFailure)
{
    EXPECT_EQ(ToU8("abc", 255), 0);
    EXPECT_EQ(ToU8("0", 255), 0);
    EXPECT_EQ(ToU8("0x05", 255), 5);
    EXPECT_EQ(ToU8("300", 255), 0);
    EXPECT_EQ(ToU32("12x", 0xFFFFFFFF), 0u);
    EXPECT_EQ(ToS32("42", 100), 42);
    EXPECT_EQ(ToU16("65535", 0xFFFF), 65535);
    EXPECT_EQ(ToU64("", 5), 0u);
}
