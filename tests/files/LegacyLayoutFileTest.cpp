#include "files/LegacyLayoutFile.h"
#include "FileTestSupport.h"
#include "model/KeyCell.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string kZeros16 = "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0";
const std::string kZeros7 = "0, 0, 0, 0, 0, 0, 0";

// Lines of keys nobody touched: mode 2 and simple key give the flags 10 (16 fields) or 2.
std::string Empty16(int number)
{
    return std::to_string(number) + "; " + kZeros16 + "; 10;0;Key_" + std::to_string(number);
}

std::string Empty7(int number)
{
    return std::to_string(number) + "; " + kZeros7 + "; 2;Key_" + std::to_string(number);
}

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n")
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + end;
    }
    return text;
}

// The header, then lines first..last where the table gives no hand-written line.
std::vector<std::string> Layout(const std::string& header, int first, int last,
                                const std::vector<std::pair<int, std::string>>& keys, bool sixteen)
{
    std::vector<std::string> lines{header};
    for (int number = first; number <= last; ++number) {
        std::string line = sixteen ? Empty16(number) : Empty7(number);
        for (const auto& [key, text] : keys) {
            if (key == number) {
                line = text;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::unique_ptr<LegacyKeyboard> MakeType(uint8_t id)
{
    return std::unique_ptr<LegacyKeyboard>(static_cast<LegacyKeyboard*>(CreateKeyboard(id).release()));
}

KeyCell* Cell(LegacyKeyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout = 1)
{
    KeyCell* cell = nullptr;
    keyboard.GetCell(column, row, layout, &cell);
    return cell;
}

void Program(LegacyKeyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout,
             const std::string& codes, const std::string& name)
{
    KeyCell* cell = Cell(keyboard, column, row, layout);
    ASSERT_NE(cell, nullptr);
    ASSERT_TRUE(cell->ParseCodesText(codes));
    cell->SetName(name);
}

// A double key right of (1,1), a vertical one at (1,3)-(1,4) and a quad at (4,5)-(5,6). Mode 2
// throughout, the only mode the 7-slot lines keep.
void ProgramMergedKeys(LegacyKeyboard& keyboard, uint8_t layout, bool merge = true)
{
    Program(keyboard, 1, 1, layout, "I28; 10", "Wide");
    Program(keyboard, 1, 3, layout, "I18, 28; 8", "Tall");
    Program(keyboard, 4, 5, layout, "I224, 20; 10", "Quad");
    Program(keyboard, 8, 7, layout, "I22; 8", "Single");
    if (!merge) {
        return;
    }
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, layout));
    ASSERT_TRUE(keyboard.ChangeShape(1, 3, ShapeBelow, layout));
    ASSERT_TRUE(keyboard.ChangeShape(4, 5, ShapeBelow | ShapeRight | ShapeRightBelow, layout));
}

class LegacyLayoutFileTest : public ::testing::Test
{
protected:
    std::string Write(const std::string& bytes)
    {
        const std::string path = m_folder.File("layout.txt");
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }

    TempFolder m_folder;
};

} // namespace

TEST(LegacyLayoutHeader, ShortAndLongForms)
{
    LegacyKeyboard keyboard(false, false, true);
    EXPECT_EQ(keyboard.FormatHeaderLine(1), "57; 0; 0; 2; 11; 148; 0; 0; 3");
    EXPECT_EQ(keyboard.FormatHeaderLine(2), "57; 0; 0; 2; 11");
    EXPECT_EQ(keyboard.FormatHeaderLine(0), "57; 0; 0; 2; 11; 148; 0; 0; 3");

    keyboard.SetKeysType(7);
    keyboard.SetKeyBeep(true);
    keyboard.SetTypematicDelay(3);
    keyboard.SetTypematicRate(31);
    keyboard.SetRfidFlags(0xA3);
    keyboard.SetAffixKeyCode(true, 0x5A);
    keyboard.SetAffixKeyCode(false, 255);
    keyboard.SetKeyPause(200);
    EXPECT_EQ(keyboard.FormatHeaderLine(4), "57; 1; 1; 3; 31; 163; 90; 255; 200");

    EXPECT_EQ(LegacyKeyboard(true, true, false).FormatHeaderLine(2), "112; 0; 0; 2; 11");
}

TEST_F(LegacyLayoutFileTest, SavesEachFormatByteForByte)
{
    LegacyKeyboard v1(false, false, false);
    Program(v1, 1, 1, 1, "I28, 240, 28; 6", "A;b ");
    uint8_t format = 2;
    ASSERT_TRUE(v1.SaveFile(m_folder.File("v1.txt"), &format));
    EXPECT_EQ(ReadWholeFile(m_folder.File("v1.txt")),
              Join(Layout("56; 0; 0; 2; 11", 1, 112, {{1, "1; 28, 240, 28, 0, 0, 0, 0; 2;A;b "}}, false)));

    LegacyKeyboard v2(true, true, true);
    Program(v2, 2, 1, 1, "I18; 14", "Shift");
    Program(v2, 1, 1, 2, "I90; 2", "Enter");
    const std::vector<std::pair<int, std::string>> keys{
        {2, "2; 18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 14;0;Shift"},
        {57, "57; 90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 2;0;Enter"}};
    const std::string header = "113; 0; 0; 2; 11; 148; 0; 0; 3";
    for (uint8_t side : {1, 3}) {
        format = side;
        ASSERT_TRUE(v2.SaveFile(m_folder.File("v2.txt"), &format));
        EXPECT_EQ(ReadWholeFile(m_folder.File("v2.txt")), Join(Layout(header, 1, 112, keys, true)));
    }
    format = 4;
    ASSERT_TRUE(v2.SaveFile(m_folder.File("right.txt"), &format));
    EXPECT_EQ(ReadWholeFile(m_folder.File("right.txt")), Join(Layout(header, 57, 168, keys, true)));
    EXPECT_EQ(format, 4);
}

TEST_F(LegacyLayoutFileTest, FormatZeroBecomesTheMatchingFormat)
{
    LegacyKeyboard v1(false, false, false);
    uint8_t format = 0;
    ASSERT_TRUE(v1.SaveFile(m_folder.File("v1.txt"), &format));
    EXPECT_EQ(format, 2);
    // The header agrees with the 7-field lines, so the file reads back without errors.
    EXPECT_EQ(ReadWholeFile(m_folder.File("v1.txt")), Join(Layout("56; 0; 0; 2; 11", 1, 112, {}, false)));
    EXPECT_TRUE(LegacyKeyboard(false, false, false).LoadFile(m_folder.File("v1.txt"), &format));

    LegacyKeyboard v2(false, false, true);
    format = 0;
    ASSERT_TRUE(v2.SaveFile(m_folder.File("v2.txt"), &format));
    EXPECT_EQ(format, 1);
    EXPECT_TRUE(v2.SaveFile(m_folder.File("v2.txt"), nullptr));
}

TEST_F(LegacyLayoutFileTest, MergedKeysShareOneGroupNumber)
{
    LegacyKeyboard keyboard(false, false, true);
    ProgramMergedKeys(keyboard, 1);
    ASSERT_TRUE(keyboard.SaveFile(m_folder.File("merged.txt"), nullptr));
    const std::string wide = "; 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 11;1;Wide";
    const std::string tall = "; 18, 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 9;2;Tall";
    const std::string quad = "; 224, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 11;3;Quad";
    EXPECT_EQ(ReadWholeFile(m_folder.File("merged.txt")),
              Join(Layout("57; 0; 0; 2; 11; 148; 0; 0; 3", 1, 112,
                          {{1, "1" + wide},
                           {2, "2" + wide},
                           {17, "17" + tall},
                           {25, "25" + tall},
                           {36, "36" + quad},
                           {37, "37" + quad},
                           {44, "44" + quad},
                           {45, "45" + quad},
                           {56, "56; 22, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 8;0;Single"}},
                          true)));
}

TEST_F(LegacyLayoutFileTest, ReadsHandWrittenFileWithAnyLineEnd)
{
    const auto lines = Layout("  57 ;1;1 ; 3;20; 0x21; 18; 90; 7", 1, 56,
                              {{1, "\t1; 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 11;4;Wide;key "},
                               {2, "2 ; 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 11;4;Wide;key "},
                               {3, "3;18,28,0,0,0,0,0,0,0,0,0,0,0,0,0,0;6;0;Two"}},
                              true);
    for (const std::string end : {"\r\n", "\n", "\r", "\n\r"}) {
        LegacyKeyboard keyboard(false, false, true);
        uint8_t format = 0;
        EXPECT_TRUE(keyboard.LoadFile(Write(Join(lines, end)), &format)) << "line end " << end.size();
        EXPECT_EQ(format, 1);
        EXPECT_EQ(keyboard.GetKeysType(), 1);
        EXPECT_TRUE(keyboard.GetKeyBeep());
        EXPECT_EQ(keyboard.GetTypematicDelay(), 3);
        EXPECT_EQ(keyboard.GetTypematicRate(), 20);
        EXPECT_EQ(keyboard.GetRfidFlags(), 0x21);
        EXPECT_EQ(keyboard.GetAffixKeyCode(true), 18);
        EXPECT_EQ(keyboard.GetAffixKeyCode(false), 90);
        EXPECT_EQ(keyboard.GetKeyPause(), 7);

        EXPECT_EQ(keyboard.GetShapeFlags(1, 1, 1), ShapeRight);
        EXPECT_EQ(Cell(keyboard, 2, 1)->GetName(), "Wide;key ");
        EXPECT_EQ(Cell(keyboard, 2, 1)->GetCode(1), 28u);
        EXPECT_EQ(Cell(keyboard, 1, 1)->GetUserData(), 0u);
        EXPECT_EQ(keyboard.GetShapeFlags(3, 1, 1), 0);
        EXPECT_EQ(Cell(keyboard, 3, 1)->GetCodeCount(), 2);
        EXPECT_EQ(Cell(keyboard, 3, 1)->GetMode(), 1);
    }
}

TEST_F(LegacyLayoutFileTest, ReadsSevenSlotFileIntoDoubleWithThreeScans)
{
    auto lines =
        Layout("112; 0; 1; 0; 5", 1, 112,
               {{3, "3; 18, 28, 0, 0, 0, 0, 0; 3;Two"}, {60, "60; 22, 0, 0, 0, 0, 0, 0; 0;Right"}}, false);
    LegacyKeyboard keyboard(true, true, false);
    uint8_t format = 0;
    ASSERT_TRUE(keyboard.LoadFile(Write(Join(lines)), &format));
    EXPECT_EQ(format, 2);
    EXPECT_EQ(Cell(keyboard, 3, 1)->GetCodeCount(), 2);
    EXPECT_EQ(Cell(keyboard, 3, 1)->GetMode(), 2); // the 7-slot form carries no mode
    EXPECT_EQ(Cell(keyboard, 4, 1, 2)->GetName(), "Right");
    EXPECT_EQ(Cell(keyboard, 4, 1, 2)->GetSimpleKey(), 0);
}

TEST_F(LegacyLayoutFileTest, ValuesBeforeAnErrorStayApplied)
{
    const std::string header = "57; 1; 0; 3; 20; 148; 0; 0; 3";
    const std::string early = "2; 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 10;0;Early";
    struct Case
    {
        const char* what;
        std::vector<std::string> lines;
        bool lineRefused; // the refused line does not count, so one more line is read
    };
    const std::vector<Case> cases{
        {"five-field header on a 16-scan keyboard", Layout("57; 1; 0; 3; 20", 1, 56, {{2, early}}, true),
         false},
        {"key beep above 1", Layout("57; 1; 2; 3; 20; 148; 0; 0; 3", 1, 56, {{2, early}}, true), false},
        {"typematic rate out of range", Layout("57; 1; 0; 3; 32; 148; 0; 0; 3", 1, 56, {{2, early}}, true),
         false},
        {"too few key lines", Layout(header, 1, 40, {{2, early}}, true), true},
        {"comment line", Layout(header, 1, 56, {{2, early}, {30, "# keys"}}, true), true},
        {"key number 0", Layout(header, 1, 56, {{2, early}, {30, "0; 1"}}, true), true},
        {"key number 113", Layout(header, 1, 56, {{2, early}, {30, Empty16(113)}}, true), true},
        {"key without a cell", Layout(header, 1, 56, {{2, early}, {30, Empty16(57)}}, true), true},
        {"seven slots", Layout(header, 1, 56, {{2, early}, {30, Empty7(30)}}, true), true},
        {"group of one cell", Layout(header, 1, 56, {{2, early}, {30, "30; " + kZeros16 + "; 10;9;x"}}, true),
         false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = c.lines;
        lines.push_back("30; 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 10;0;Late");
        LegacyKeyboard keyboard(false, false, true);
        EXPECT_FALSE(keyboard.LoadFile(Write(Join(lines)), nullptr)) << c.what;
        EXPECT_EQ(keyboard.GetKeysType(), 1) << c.what;
        EXPECT_EQ(keyboard.GetTypematicDelay(), 3) << c.what;
        EXPECT_EQ(Cell(keyboard, 2, 1)->GetName(), "Early") << c.what;
        EXPECT_EQ(Cell(keyboard, 6, 4)->GetName() == "Late", c.lineRefused) << c.what;
    }

    // White space lines hold no key, whatever line end makes them.
    auto lines = Layout(header, 1, 56, {}, true);
    lines.insert(lines.begin() + 5, "\t ");
    lines.insert(lines.begin() + 9, "");
    EXPECT_TRUE(LegacyKeyboard(false, false, true).LoadFile(Write(Join(lines)), nullptr));
}

TEST_F(LegacyLayoutFileTest, LongHeaderOnSevenScanKeyboardIsAnError)
{
    LegacyKeyboard keyboard(false, false, false);
    EXPECT_FALSE(
        keyboard.LoadFile(Write(Join(Layout("56; 0; 0; 2; 11; 0x95; 4; 5; 6", 1, 56, {}, false))), nullptr));
    EXPECT_EQ(keyboard.GetRfidFlags(), 0x95);
    EXPECT_EQ(keyboard.GetKeyPause(), 6);
}

TEST_F(LegacyLayoutFileTest, AnotherTypeCodeChangesNothing)
{
    const std::vector<std::string> refused{
        Join(Layout("57; 1; 1; 3; 20; 148; 0; 0; 3", 1, 56, {{1, Empty16(1) + "x"}}, true)),
        Join(Layout("0x38x; 1; 1; 3; 20", 1, 56, {{1, Empty7(1) + "x"}}, false)),
        "",
        "\r\n56; 1; 1; 3; 20\r\n",
    };
    for (const std::string& bytes : refused) {
        LegacyKeyboard keyboard(false, false, false);
        Program(keyboard, 1, 1, 1, "I28; 2", "Kept");
        const std::string before = keyboard.GetContentSignature();
        uint8_t format = 3;
        EXPECT_FALSE(keyboard.LoadFile(Write(bytes), &format));
        EXPECT_EQ(format, 3);
        EXPECT_EQ(keyboard.GetContentSignature(), before);
    }
    uint8_t format = 3;
    EXPECT_FALSE(LegacyKeyboard(false, false, false).LoadFile(m_folder.File("missing.txt"), &format));
    // 0x38 is 56: numbers read as elsewhere.
    EXPECT_TRUE(LegacyKeyboard(false, false, false)
                    .LoadFile(Write(Join(Layout("0x38; 0; 0; 2; 11", 1, 56, {}, false))), &format));
    EXPECT_EQ(format, 2);
}

TEST_F(LegacyLayoutFileTest, RoundTripsEveryTypeWithMergedKeys)
{
    for (uint8_t id = 7; id <= 10; ++id) {
        auto keyboard = MakeType(id);
        // Only the 16-slot lines carry group numbers.
        const bool merge = keyboard->GetCellCapacity() == 16;
        ProgramMergedKeys(*keyboard, 1, merge);
        if (keyboard->GetLayoutCount() == 2) {
            ProgramMergedKeys(*keyboard, 2, merge);
            Cell(*keyboard, 4, 5, 2)->SetName("Right quad");
        }
        keyboard->SetTypematicRate(30);
        keyboard->SetKeysType(1);
        keyboard->SetRfidFlags(0x51);
        keyboard->SetAffixKeyCode(false, 0x5A);
        const std::string signature = keyboard->GetContentSignature();
        ASSERT_TRUE(keyboard->SaveFile(m_folder.File("round.txt"), nullptr)) << int(id);

        auto loaded = MakeType(id);
        uint8_t format = 0;
        EXPECT_TRUE(loaded->LoadFile(m_folder.File("round.txt"), &format)) << int(id);
        EXPECT_EQ(loaded->GetContentSignature(), signature) << int(id);
        if (merge) {
            EXPECT_EQ(loaded->GetShapeFlags(5, 6, 2 - (id == 9)), ShapeAbove | ShapeLeft | ShapeLeftAbove);
            // The covered cells are empty underneath, as after a merge in the editor.
            KeyCell* covered = Cell(*loaded, 2, 1);
            covered->SetMaster(nullptr);
            EXPECT_FALSE(covered->IsProgrammed());
            EXPECT_EQ(covered->GetName(), "Key_2");
        }
    }
}

TEST_F(LegacyLayoutFileTest, SevenSlotLinesKeepMergedKeysAsSeparateKeys)
{
    LegacyKeyboard keyboard(false, false, false);
    ProgramMergedKeys(keyboard, 1);
    ASSERT_TRUE(keyboard.SaveFile(m_folder.File("v1.txt"), nullptr));
    LegacyKeyboard loaded(false, false, false);
    EXPECT_TRUE(loaded.LoadFile(m_folder.File("v1.txt"), nullptr));
    EXPECT_EQ(loaded.GetShapeFlags(1, 1, 1), 0);
    EXPECT_EQ(Cell(loaded, 2, 1)->GetName(), "Wide");
    EXPECT_EQ(Cell(loaded, 2, 1)->GetCode(1), 28u);
}

TEST(LegacyLayoutSignature, SeesNamesAndShapes)
{
    LegacyKeyboard keyboard(false, false, true);
    Program(keyboard, 1, 1, 1, "I28; 10", "name");
    const std::string before = keyboard.GetContentSignature();
    EXPECT_EQ(before.substr(0, before.find('\n') + 1), "57; 0; 0; 2; 11; 148; 0; 0; 3\r\n");
    EXPECT_NE(before.find("\r\n0; I28; 10;0;name\r\n"), std::string::npos);

    Cell(keyboard, 1, 1)->SetName("Name");
    const std::string renamed = keyboard.GetContentSignature();
    EXPECT_NE(renamed, before);
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));
    EXPECT_NE(keyboard.GetContentSignature(), renamed);
    EXPECT_EQ(keyboard.GetContentSignature(), keyboard.GetContentSignature());
}

TEST_F(LegacyLayoutFileTest, FailedSaveKeepsTheOldFile)
{
    const std::string path = m_folder.File("kept.txt");
    const std::string old = "56; 0; 0; 2; 11\r\nold bytes";
    ASSERT_TRUE(WriteWholeFile(path, old));
    LegacyKeyboard keyboard(false, false, true);
    for (size_t accepted : {size_t{0}, size_t{20}, size_t{5000}}) {
        uint8_t format = 0;
        EXPECT_FALSE(SaveLegacyLayoutFile(keyboard, path, &format, [=] {
            return std::make_unique<FailAfterFile>(accepted);
        })) << accepted;
        EXPECT_EQ(format, 0);
        EXPECT_EQ(ReadWholeFile(path), old);
    }
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path())) {
        files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, 1u);
    EXPECT_FALSE(keyboard.SaveFile(m_folder.File("no/such/folder.txt"), nullptr));
}
