// The byte-string helpers every module shares in place of private copies.
#include "lang/TextHelpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextHelpers, ReplaceFirst)
{
    EXPECT_EQ(ReplaceFirst("a %s b %s", "%s", "X"), "a X b %s");
    EXPECT_EQ(ReplaceFirst("Clear key %s?", "%s", ""), "Clear key ?");
    EXPECT_EQ(ReplaceFirst("abc", "", "X"), "abc");
    EXPECT_EQ(ReplaceFirst("abc", "d", "X"), "abc");
    EXPECT_EQ(ReplaceFirst("", "%s", "X"), "");
    EXPECT_EQ(ReplaceFirst("%fn% [%sp%]", "%fn%", "a.zqp"), "a.zqp [%sp%]");
    EXPECT_EQ(ReplaceFirstNumber("Number: %d", 12, "%d"), "Number: 12");
    EXPECT_EQ(ReplaceFirstNumber("%d/%d", -7, "%d"), "-7/%d");
}

TEST(TextHelpers, SplitAt)
{
    struct Case
    {
        const char* line;
        const char* head;
        const char* rest;
    };
    const Case cases[] = {
        {"a=b=c", "a", "b=c"}, {"=text", "", "text"}, {"abc", "abc", ""}, {"", "", ""}, {"ab=", "ab", ""},
    };
    for (const Case& c : cases) {
        std::string line = c.line;
        std::string head = "old";
        EXPECT_TRUE(SplitAt(line, head, '='));
        EXPECT_EQ(head, c.head) << c.line;
        EXPECT_EQ(line, c.rest) << c.line;
    }
}

TEST(TextHelpers, TrimBlanksRemovesOnlySpaces)
{
    EXPECT_EQ(TrimBlanks("  ab  "), "ab");
    EXPECT_EQ(TrimBlanks(" a b "), "a b");
    EXPECT_EQ(TrimBlanks("\tab\t"), "\tab\t");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(""), "");
}

TEST(TextHelpers, TrimTakesOnlyTheGivenCharactersAtTheEnds)
{
    struct Case
    {
        std::string text;
        const char* characters;
        std::string both;
        std::string leading;
        std::string trailing;
    };
    const Case cases[] = {
        {" \t\r\na b\v\f ", kWhiteSpace, "a b", "a b\v\f ", " \t\r\na b"},
        {"\r\n;x;\t", " \t\r\n", ";x;", ";x;\t", "\r\n;x;"},
        {" \v ", " \t\r\n", "\v", "\v ", " \v"},
        {" \t \n", kWhiteSpace, "", "", ""},
        {std::string("\0 a", 3), kWhiteSpace, std::string("\0 a", 3), std::string("\0 a", 3),
         std::string("\0 a", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Trim(c.text, c.characters), c.both);
        EXPECT_EQ(TrimLeading(c.text, c.characters), c.leading);
        EXPECT_EQ(TrimTrailing(c.text, c.characters), c.trailing);
    }
}

TEST(TextHelpers, CaseFoldsAsciiLettersOnly)
{
    EXPECT_TRUE(EqualsIgnoringCase("zq-2200.V1", "ZQ-2200.v1"));
    EXPECT_FALSE(EqualsIgnoringCase("ZQ-2200.v1 ", "ZQ-2200.v1"));
    EXPECT_FALSE(EqualsIgnoringCase("ZQ-2200.v", "ZQ-2200.v1"));
    EXPECT_TRUE(EqualsIgnoringCase("", ""));
    // Bytes 0xC0 and 0xE0 are a letter pair in Windows-1252, but not in UTF-8: never folded.
    EXPECT_FALSE(EqualsIgnoringCase("\xC0", "\xE0"));
    EXPECT_FALSE(EqualsIgnoringCase("@", "`"));
    EXPECT_FALSE(EqualsIgnoringCase("[", "{"));

    EXPECT_TRUE(StartsWithIgnoringCase("rfid=9n", "RFID="));
    EXPECT_TRUE(StartsWithIgnoringCase("Kp", "KP"));
    EXPECT_TRUE(StartsWithIgnoringCase("anything", ""));
    EXPECT_FALSE(StartsWithIgnoringCase("K", "KP"));
    EXPECT_TRUE(LessIgnoringCase("apple", "Banana"));
    EXPECT_FALSE(LessIgnoringCase("APPLE", "apple"));
    EXPECT_TRUE(LessIgnoringCase("app", "Apple"));
    // Bytes above 0x7F sort after ASCII, whatever the sign of char.
    EXPECT_TRUE(LessIgnoringCase("z", "\xC0"));
    EXPECT_EQ(ToLowerAscii('Z'), 'z');
    EXPECT_EQ(ToLowerAscii('z'), 'z');
    EXPECT_EQ(ToLowerAscii('\xC0'), '\xC0');
}

} // namespace
