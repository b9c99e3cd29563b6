#include "TextTables.h"

#include "lang/BuiltinStrings.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"

#include <gtest/gtest.h>

namespace {

using TextLookup = TextTables;

TEST_F(TextLookup, WithoutTranslationsTheBuiltInTextIsUsed)
{
    std::string text = "unchanged";
    EXPECT_FALSE(FindLanguageText(36379, text));
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(LoadText(36379), "OK");
    EXPECT_EQ(LoadText(1), "");
}

TEST_F(TextLookup, LanguageTableThenResourceStringsThenBuiltIn)
{
    ASSERT_TRUE(LoadLanguageFile(m_folder.Write("t.lang", "36379=Gut\n32780=Achtung\n")));
    InstallResourceStrings({{36379, "Res OK"}, {32781, "Fehler"}, {7, "own"}});

    EXPECT_EQ(LoadText(36379), "Gut");
    EXPECT_EQ(LoadText(32780), "Achtung");
    EXPECT_EQ(LoadText(32781), "Fehler");
    EXPECT_EQ(LoadText(7), "own");
    EXPECT_EQ(LoadText(32806), "Question");

    std::string text = "unchanged";
    EXPECT_FALSE(FindLanguageText(32781, text));
    EXPECT_EQ(text, "unchanged");
    EXPECT_TRUE(FindLanguageText(32780, text));
    EXPECT_EQ(text, "Achtung");
}

TEST_F(TextLookup, LanguageFileIsFoundBesideTheProgram)
{
    TempFolder folder("zq.lang-folder");
    folder.Write("prog.lang", "33016=Busy!\n");
    EXPECT_TRUE(LoadLanguageFileForProgram(folder.Path() + "/prog"));
    EXPECT_EQ(LoadText(33016), "Busy!");

    EXPECT_FALSE(LoadLanguageFileForProgram(folder.Path() + "/other.exe"));
    EXPECT_EQ(LoadText(33016), "ZQ Error: Device bussy.");
}

TEST_F(TextLookup, ArgumentFillsOnlyTheFirstPlaceholder)
{
    ASSERT_TRUE(LoadLanguageFile(m_folder.Write("t.lang", "32807=A %s B %s\n")));
    EXPECT_EQ(LoadTextWithArgument(32807, "x"), "A x B %s");
    EXPECT_EQ(LoadTextWithArgument(IDS_STATUS_NAME, "Key_12"), "Name: Key_12");
    EXPECT_EQ(LoadTextWithArgument(IDS_MSG_CLEAR_ALL_KEYS, "x"), "Clear all keys?");
}

TEST(BuiltinStrings, TextsAreKeptExactly)
{
    struct Case
    {
        uint32_t id;
        const char* text;
    };
    const Case cases[] = {
        {101, "About..."},
        {32779, "Do you want to save current file?"},
        {32808, "Replace key programming of \"%s\" with\nthe new programming (\"%n\")."},
        {33013, "USB Error: Device attached to the system is not functioning. "},
        {33016, "ZQ Error: Device bussy."},
        {33019, "ZQ Error: Programming operation failed."},
        {34000, "Key_"},
        {35014, "ZQ-1100 not found.\nChceck if the keyboard is connected."},
        {35016, "Convert the project to the folowing version: "},
        {36112, "ZQ-3300 double (one layer)"},
        {36303, "Switch to Layout %d"},
        {36318, "Set \"simple key\" flag for all keys"},
        {36319, " Key codes"},
        {36357, "&Content\tF1"},
        {36372, "to Right && Down"},
        {36379, "OK"},
        {36387, "Display firmware &version"},
        {IDS_CONV_TO_V2_SINGLE, "Convert to ZQ-1100 v2 single "},
        {IDS_CODE_LABEL_BLANK, " "},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_TRUE(FindBuiltinString(c.id, text)) << c.id;
        EXPECT_EQ(text, c.text) << c.id;
    }
    std::string text = "unchanged";
    EXPECT_FALSE(FindBuiltinString(36371, text));
    EXPECT_EQ(text, "unchanged");
}

TEST(BuiltinStrings, EveryIdLiesInTheStringRangeAndHasAText)
{
    const auto strings = GetBuiltinStrings();
    for (const BuiltinString& entry : strings) {
        EXPECT_TRUE(entry.id == 101 || (entry.id >= 32779 && entry.id <= 36387)) << entry.id;
        EXPECT_FALSE(entry.text.empty()) << entry.id;
        EXPECT_LE(entry.text.size(), 128u) << entry.id;
    }
}

} // namespace
