#include "SpecialFiles.h"
#include "TempFolder.h"

#include "lang/LanguageTable.h"

#include <gtest/gtest.h>

namespace {

// Reads the bytes as a language file and answers the text of the id ("<absent>" when missing).
class LanguageFile : public ::testing::Test
{
protected:
    void Read(const std::string& bytes) { ASSERT_TRUE(m_table.ReadFile(m_folder.Write("t.lang", bytes))); }
    std::string Text(uint32_t id) const
    {
        std::string text = "<absent>";
        m_table.Find(id, text);
        return text;
    }

    TempFolder m_folder;
    LanguageTable m_table;
};

TEST_F(LanguageFile, DecimalAndHexIdsNameTheSameEntryAndTheFirstWins)
{
    Read("35005=Communication failed.\n0x88BD=X\n33016=first\n33016=second\n");
    EXPECT_EQ(m_table.GetCount(), 4);
    EXPECT_EQ(Text(35005), "Communication failed.");
    EXPECT_EQ(Text(33016), "first");
    EXPECT_EQ(Text(35006), "<absent>");
}

TEST_F(LanguageFile, TextKeepsFurtherEqualSignsAndBlanks)
{
    Read("7= a=b \n8=\n");
    EXPECT_EQ(Text(7), " a=b ");
    EXPECT_EQ(Text(8), "");
}

TEST_F(LanguageFile, EscapesAreReplacedInOrderAndOnlyUpToTheirCount)
{
    struct Case
    {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {"Line one\\nLine two\\nThree\\nFour", "Line one\nLine two\nThree\nFour"},
        {"a\\nb\\nc\\nd\\ne", "a\nb\nc\nd\\ne"},
        {"a\\tb\\tc", "a\tb\\tc"},
        {"\\r\\r\\r\\r", "\r\r\r\\r"},
        {"\\n\\r\\t", "\n\r\t"},
        {"x\\\\ny", "x\\\ny"},
        {"\\x\\", "\\x\\"},
    };
    std::string file;
    uint32_t id = 1;
    for (const Case& c : cases) {
        file += std::to_string(id++) + "=" + c.line + "\n";
    }
    Read(file);
    id = 1;
    for (const Case& c : cases) {
        EXPECT_EQ(Text(id++), c.expected) << c.line;
    }
}

TEST_F(LanguageFile, TextsAreCutTo128CharactersAfterTheEscapes)
{
    const std::string longText(200, 'a');
    Read("1=" + longText + "\n2=\\t" + std::string(128, 'b') + "\n3=" + std::string(128, 'c') + "\n");
    EXPECT_EQ(Text(1), std::string(128, 'a'));
    EXPECT_EQ(Text(2), "\t" + std::string(127, 'b'));
    EXPECT_EQ(Text(3), std::string(128, 'c'));
}

TEST_F(LanguageFile, UnicodeTextsAreCutBetweenCharacters)
{
    std::string cyrillic = "a";
    std::string euros;
    for (int i = 0; i < 100; ++i) {
        cyrillic += "\xD0\x9A"; // К
        euros += "\xE2\x82\xAC";
    }
    const std::string windows1252 = "a" + std::string(150, '\x80'); // no UTF-8
    Read("1=" + cyrillic + "\n2=" + euros + "\n3=" + windows1252 + "\n");
    EXPECT_EQ(Text(1), cyrillic.substr(0, 127));
    EXPECT_EQ(Text(2), euros.substr(0, 126));
    EXPECT_EQ(Text(3), windows1252.substr(0, 128));
}

TEST_F(LanguageFile, MalformedLinesAreIgnored)
{
    Read("=text\n"
         "12a=text\n"
         " 35005=leading blank\n"
         "35005 =blank after id\n"
         "35005\n"
         "0=zero\n"
         ";note=x\n"
         "#note=x\n"
         "0x=x\n"
         "4294967296=too large\n"
         "4294967295=largest\n");
    EXPECT_EQ(m_table.GetCount(), 1);
    EXPECT_EQ(Text(35005), "<absent>");
    EXPECT_EQ(Text(12), "<absent>");
    EXPECT_EQ(Text(0), "<absent>");
    EXPECT_EQ(Text(4294967295u), "largest");
}

TEST_F(LanguageFile, EveryLineEndAndBlankLinesSeparateEntries)
{
    Read("1=cr\r2=lf\n3=crlf\r\n4=lfcr\n\r5=after blank\n\n\n6=after two blanks\r\n\r\n7=after crlf "
         "blank\n\n8=after one blank");
    EXPECT_EQ(m_table.GetCount(), 8);
    EXPECT_EQ(Text(1), "cr");
    EXPECT_EQ(Text(2), "lf");
    EXPECT_EQ(Text(3), "crlf");
    EXPECT_EQ(Text(4), "lfcr");
    EXPECT_EQ(Text(5), "after blank");
    EXPECT_EQ(Text(6), "after two blanks");
    EXPECT_EQ(Text(7), "after crlf blank");
    EXPECT_EQ(Text(8), "after one blank");
}

TEST_F(LanguageFile, AtMost1024EntriesAreKept)
{
    std::string file;
    for (int id = 1; id <= 1100; ++id) {
        file += std::to_string(id) + "=t" + std::to_string(id) + "\n";
    }
    Read(file);
    EXPECT_EQ(m_table.GetCount(), 1024);
    EXPECT_EQ(Text(1024), "t1024");
    EXPECT_EQ(Text(1025), "<absent>");
}

TEST_F(LanguageFile, ReadingStopsWhenTheStoreHasNoRoomForALongestText)
{
    // Each entry takes 129 bytes: entry k starts at (k - 1) * 129, and entry 1017 would start at
    // 131064, leaving fewer than 129 of the 131072 bytes.
    std::string file;
    for (int id = 1; id <= 1016; ++id) {
        file += std::to_string(id) + "=" + std::string(128, 'x') + "\n";
    }
    file += "9999=short\n";
    Read(file);
    EXPECT_EQ(m_table.GetCount(), 1016);
    EXPECT_EQ(Text(1016), std::string(128, 'x'));
    EXPECT_EQ(Text(9999), "<absent>");
}

TEST_F(LanguageFile, MissingFileLeavesAnEmptyTable)
{
    Read("1=one\n");
    EXPECT_FALSE(m_table.ReadFile(m_folder.Path() + "/missing.lang"));
    EXPECT_EQ(m_table.GetCount(), 0);
    EXPECT_EQ(Text(1), "<absent>");
}

TEST_F(LanguageFile, InputsThatAreNoFileOrEndlessLeaveAnEmptyTable)
{
    for (const std::string& path : MakeNonRegularInputs(m_folder)) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(m_table.ReadFile(path));
        EXPECT_EQ(m_table.GetCount(), 0);
    }
    // Beyond 32 bits of size, after one entry: the store stays at its limit and the endless line
    // of zeros ends the reading.
    const std::string sparse = m_folder.File("sparse.lang");
    ASSERT_TRUE(MakeSparseFile(sparse, kFourGiB + 8, "1=one\n"));
    EXPECT_TRUE(m_table.ReadFile(sparse));
    EXPECT_EQ(m_table.GetCount(), 1);
    EXPECT_EQ(Text(1), "one");
}

TEST_F(LanguageFile, EmptyFileGivesNoEntries)
{
    Read("");
    EXPECT_EQ(m_table.GetCount(), 0);
    EXPECT_EQ(Text(1), "<absent>");
}

TEST(LanguageFileName, ExtensionOfTheProgramNameIsReplacedOrLangAppended)
{
    struct Case
    {
        const char* program;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\tools\\prog.exe", "C:\\tools\\prog.lang"},
        {"/opt/zq/zq-programmer", "/opt/zq/zq-programmer.lang"},
        {"/opt/zq.d/zq-programmer", "/opt/zq.d/zq-programmer.lang"},
        {"C:\\my.tools\\prog", "C:\\my.tools\\prog.lang"},
        {"prog.exe", "prog.lang"},
        {"prog", "prog.lang"},
        {"prog.", "prog.lang"},
        {"a.b.c", "a.b.lang"},
        {"/home/u/.prog", "/home/u/.prog.lang"},
        {"", ""},
        {"/opt/zq/", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetLanguageFileName(c.program), c.expected) << c.program;
    }
}

} // namespace
