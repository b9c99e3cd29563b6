#include "files/LegacyLayoutFile.h"
#include "TempFolder.h"
#include "io/FakeFiles.h"
#include "model/KeyCell.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string kZeros16 = "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0";
const std::string kHeader57 = "57; 0; 0; 2; 11; 148; 0; 0; 3";

// The header and the key lines first to last; keys nobody wrote (mode 2, simple key) are filled in.
std::string Layout(const std::string& header, int first, int last, std::map<int, std::string> keys,
                   bool sixteen, const std::string& end = "\r\n")
{
    std::string text = header + end;
    for (int n = first; n <= last; ++n) {
        const std::string number = std::to_string(n);
        const std::string empty = sixteen ? "; " + kZeros16 + "; 10;0;Key_" : "; 0, 0, 0, 0, 0, 0, 0; 2;Key_";
        text += (keys.count(n) != 0 ? keys[n] : number + empty + number) + end;
    }
    return text;
}

KeyCell* Cell(Keyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout = 1)
{
    KeyCell* cell = nullptr;
    keyboard.GetCell(column, row, layout, &cell);
    return cell;
}

// Keys 1-2 wide, 17/25 tall, 36-37/44-45 quad, 56 single; mode 2, the one 7-slot lines keep.
void ProgramKeys(Keyboard& keyboard, uint8_t layout, bool merge)
{
    const struct
    {
        uint16_t column, row;
        uint8_t shape;
        const char *codes, *name;
    } keys[] = {{1, 1, ShapeRight, "I28; 10", "Wide"},
                {1, 3, ShapeBelow, "I18, 28; 8", "Tall"},
                {4, 5, ShapeBelow | ShapeRight | ShapeRightBelow, "I224, 20; 10", "Quad"},
                {8, 7, 0, "I22; 8", "Single"}};
    for (const auto& key : keys) {
        ASSERT_TRUE(Cell(keyboard, key.column, key.row, layout)->ParseCodesText(key.codes));
        Cell(keyboard, key.column, key.row, layout)->SetName(key.name);
        ASSERT_TRUE(!merge || key.shape == 0 || keyboard.ChangeShape(key.column, key.row, key.shape, layout));
    }
}

class LegacyLayoutFileTest : public ::testing::Test
{
protected:
    std::string Write(const std::string& bytes)
    {
        EXPECT_TRUE(WriteWholeFile(m_folder.File("in.txt"), bytes));
        return m_folder.File("in.txt");
    }
    TempFolder m_folder;
};

} // namespace

TEST_F(LegacyLayoutFileTest, SavesEachFormatByteForByte)
{
    LegacyKeyboard v1(false, false, false);
    ASSERT_TRUE(Cell(v1, 1, 1)->ParseCodesText("I28, 240, 28; 6"));
    Cell(v1, 1, 1)->SetName("A;b ");
    uint8_t format = 0; // the header follows the matching format too
    ASSERT_TRUE(v1.SaveFile(m_folder.File("v1.txt"), &format));
    EXPECT_EQ(format, 2);
    EXPECT_EQ(ReadWholeFile(m_folder.File("v1.txt")),
              Layout("56; 0; 0; 2; 11", 1, 112, {{1, "1; 28, 240, 28, 0, 0, 0, 0; 2;A;b "}}, false));

    LegacyKeyboard v2(true, true, true);
    ProgramKeys(v2, 1, true);
    ASSERT_TRUE(Cell(v2, 1, 1, 2)->ParseCodesText("I90; 2"));
    const std::string enter = "57; 90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 2;0;Key_57";
    const std::string wide = "; 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 11;1;Wide";
    const std::string tall = "; 18, 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 9;2;Tall";
    const std::string quad = "; 224, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 11;3;Quad";
    const std::string both = Layout("113; 0; 0; 2; 11; 148; 0; 0; 3", 1, 112,
                                    {{1, "1" + wide},
                                     {2, "2" + wide},
                                     {17, "17" + tall},
                                     {25, "25" + tall},
                                     {36, "36" + quad},
                                     {37, "37" + quad},
                                     {44, "44" + quad},
                                     {45, "45" + quad},
                                     {56, "56; 22, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 8;0;Single"},
                                     {57, enter}},
                                    true);
    for (uint8_t choice : {1, 3}) {
        format = choice;
        ASSERT_TRUE(v2.SaveFile(m_folder.File("v2.txt"), &format));
        EXPECT_EQ(ReadWholeFile(m_folder.File("v2.txt")), both);
    }
    format = 4;
    ASSERT_TRUE(v2.SaveFile(m_folder.File("right.txt"), &format));
    EXPECT_EQ(ReadWholeFile(m_folder.File("right.txt")),
              Layout("113; 0; 0; 2; 11; 148; 0; 0; 3", 57, 168, {{57, enter}}, true));
}

TEST_F(LegacyLayoutFileTest, ReadsHandWrittenFileWithAnyLineEnd)
{
    const std::string same = "; 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 11;4;Wide;key ";
    for (const std::string end : {"\r\n", "\n", "\r", "\n\r"}) {
        LegacyKeyboard keyboard(false, false, true);
        uint8_t format = 0;
        EXPECT_TRUE(keyboard.LoadFile(
            Write(
                Layout("  57 ;1;1 ; 3;20; 0x21; 18; 90; 7", 1, 56,
                       {{1, "\t1" + same}, {2, "2 " + same}, {3, "3;18,28,0,0,0,0,0,0,0,0,0,0,0,0,0,0;6;0;"}},
                       true, end)),
            &format));
        EXPECT_EQ(format, 1);
        EXPECT_EQ(keyboard.FormatHeaderLine(1), "57; 1; 1; 3; 20; 33; 18; 90; 7");
        EXPECT_EQ(keyboard.GetShapeFlags(1, 1, 1), ShapeRight);
        EXPECT_EQ(Cell(keyboard, 2, 1)->GetName(), "Wide;key ");
        EXPECT_EQ(Cell(keyboard, 1, 1)->GetUserData(), 0u);
        EXPECT_EQ(Cell(keyboard, 3, 1)->FormatCodesText(0) + Cell(keyboard, 3, 1)->GetName(),
                  "I18, 28; 6Key_3");
    }
}

TEST_F(LegacyLayoutFileTest, ValuesBeforeAnErrorStayApplied)
{
    const std::string header = "57; 1; 0; 3; 20; 148; 0; 0; 3";
    const std::string early = "2; " + kZeros16 + "; 10;0;Early";
    // The last bool: the bad line does not count, so the line after the keys is still read.
    const std::vector<std::tuple<std::string, std::string, bool>> cases{
        {"57; 1; 0; 3; 20", Layout("", 1, 56, {{2, early}}, true), false},
        {"57; 1; 2; 3; 20; 148; 0; 0; 3", Layout("", 1, 56, {{2, early}}, true), false},
        {"57; 1; 0; 3; 32; 148; 0; 0; 3", Layout("", 1, 56, {{2, early}}, true), false},
        {header, Layout("", 1, 40, {{2, early}}, true), true},
        {header, Layout("", 1, 56, {{2, early}, {30, "# keys"}}, true), true},
        {header, Layout("", 1, 56, {{2, early}, {30, "0; 1"}}, true), true},
        {header, Layout("", 1, 56, {{2, early}, {30, "57; " + kZeros16 + "; 10;0;x"}}, true), true},
        {header, Layout("", 1, 56, {{2, early}, {30, "30; 0, 0, 0, 0, 0, 0, 0; 2;x"}}, true), true},
        {header, Layout("", 1, 56, {{2, early}, {30, "30; " + kZeros16 + "; 10;9;x"}}, true), false},
        // Key 4 again where key 3 belongs: once counted as 56 keys read, with key 3 never given.
        {header, Layout("", 1, 56, {{2, early}, {3, "4; " + kZeros16 + "; 10;0;Twice"}}, true), true},
    };
    for (const auto& [head, keys, lineRefused] : cases) {
        LegacyKeyboard keyboard(false, false, true);
        EXPECT_FALSE(keyboard.LoadFile(Write(head + keys + "30; 28; 10;0;Late"), nullptr)) << keys;
        EXPECT_EQ(keyboard.GetKeysType(), 1);
        EXPECT_EQ(keyboard.GetTypematicDelay(), 3);
        EXPECT_EQ(Cell(keyboard, 2, 1)->GetName(), "Early");
        EXPECT_EQ(Cell(keyboard, 6, 4)->GetName() == "Late", lineRefused) << keys;
    }
    // White space lines hold no key, whichever line end made them.
    EXPECT_TRUE(LegacyKeyboard(false, false, true)
                    .LoadFile(Write(kHeader57 + "\r\n\r\n \t\r\n" + Layout("", 1, 56, {}, true)), nullptr));
}

TEST_F(LegacyLayoutFileTest, AnotherTypeCodeChangesNothing)
{
    for (const std::string& bytes :
         {Layout(kHeader57, 1, 56, {}, true), std::string("0x38x; 1; 1; 3; 20\r\n"), std::string(),
          std::string("\r\n56; 1; 1; 3; 20\r\n")}) {
        LegacyKeyboard keyboard(false, false, false);
        ASSERT_TRUE(Cell(keyboard, 1, 1)->ParseCodesText("I28; 2"));
        const std::string before = keyboard.GetContentSignature();
        uint8_t format = 3;
        EXPECT_FALSE(keyboard.LoadFile(Write(bytes), &format));
        EXPECT_EQ(format, 3);
        EXPECT_EQ(keyboard.GetContentSignature(), before);
    }
    LegacyKeyboard keyboard(false, false, false);
    uint8_t format = 3;
    EXPECT_FALSE(keyboard.LoadFile(m_folder.File("missing.txt"), &format));
    EXPECT_TRUE(keyboard.LoadFile(Write(Layout("0x38; 0; 0; 2; 11", 1, 56, {}, false)), &format));
    EXPECT_EQ(format, 2);
    // A long header is not the 7-scan format, yet its values are taken.
    EXPECT_FALSE(
        keyboard.LoadFile(Write(Layout("56; 0; 0; 2; 11; 0x95; 4; 5; 6", 1, 56, {}, false)), &format));
    EXPECT_EQ(keyboard.FormatHeaderLine(1), "56; 0; 0; 2; 11; 149; 4; 5; 6");
}

TEST_F(LegacyLayoutFileTest, RoundTripsEveryTypeWithMergedKeys)
{
    for (uint8_t id = 7; id <= 10; ++id) {
        std::unique_ptr<Keyboard> keyboard = CreateKeyboard(id);
        // Only 16-slot lines carry group numbers; 7-slot files keep a merged key's cells apart.
        const bool merge = id >= 9;
        for (uint8_t layout = 1; layout <= keyboard->GetLayoutCount(); ++layout) {
            ProgramKeys(*keyboard, layout, merge);
        }
        Cell(*keyboard, 4, 5, keyboard->GetLayoutCount())->SetName("Last quad");
        keyboard->SetTypematicRate(30);
        keyboard->SetAffixKeyCode(false, 0x5A);
        const std::string signature = keyboard->GetContentSignature();
        ASSERT_TRUE(keyboard->SaveFile(m_folder.File("round.txt"), nullptr));

        std::unique_ptr<Keyboard> loaded = CreateKeyboard(id);
        EXPECT_TRUE(loaded->LoadFile(m_folder.File("round.txt"), nullptr)) << int(id);
        EXPECT_EQ(loaded->GetContentSignature(), signature) << int(id);
        if (merge) {
            // Covered cells are empty underneath, as after a merge in the editor.
            KeyCell* covered = Cell(*loaded, 5, 6, loaded->GetLayoutCount());
            EXPECT_EQ(covered->GetName(), "Last quad");
            covered->SetMaster(nullptr);
            EXPECT_EQ(covered->FormatCodesText(0) + covered->GetName(),
                      "I; 10Key_" + std::to_string(covered->GetKeyNumber()));
        }
    }
}

TEST(LegacyLayoutSignature, SeesNamesAndShapes)
{
    LegacyKeyboard keyboard(false, false, true);
    ProgramKeys(keyboard, 1, false);
    const std::string before = keyboard.GetContentSignature();
    EXPECT_EQ(before.substr(0, before.find("\r\n1;")), kHeader57 + "\r\n0; I28; 10;0;Wide");
    Cell(keyboard, 1, 1)->SetName("wide");
    const std::string renamed = keyboard.GetContentSignature();
    EXPECT_NE(renamed, before);
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));
    EXPECT_NE(keyboard.GetContentSignature(), renamed);
}

TEST_F(LegacyLayoutFileTest, FailedSaveKeepsTheOldFile)
{
    const std::string path = m_folder.File("kept.txt");
    ASSERT_TRUE(WriteWholeFile(path, "56; 0; 0; 2; 11\r\nold"));
    LegacyKeyboard keyboard(false, false, true);
    for (size_t accepted : {0, 20, 5000}) {
        uint8_t format = 0;
        EXPECT_FALSE(SaveLegacyLayoutFile(keyboard, path, &format,
                                          [=] { return std::make_unique<FailAfterFile>(accepted); }));
        EXPECT_EQ(format, 0);
        EXPECT_EQ(ReadWholeFile(path), "56; 0; 0; 2; 11\r\nold");
    }
    auto entries = std::filesystem::directory_iterator(std::filesystem::path(path).parent_path());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 1); // no temporary file left
    EXPECT_FALSE(keyboard.SaveFile(m_folder.File("no/folder.txt"), nullptr));
}
