#include "editor/UndoHistory.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "model/UsbKeyboardCommon.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kUsbOptions = "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000";
const std::string kLegacyZeros16 = "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0";

KeyCell* Cell(Keyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout = 1)
{
    KeyCell* cell = nullptr;
    keyboard.GetCell(column, row, layout, &cell);
    return cell;
}

// A .zqp file: magic, options, then keys 1 to last with an untouched line unless given.
std::string UsbFile(const std::string& magic, const std::string& options, int last,
                    std::map<int, std::string> keys)
{
    std::string text = magic + "\r\n" + options + "\r\n";
    for (int n = 1; n <= last; ++n) {
        const std::string number = std::to_string(n);
        if (keys.count(n) == 0) {
            text += number + ":M1,S+,N=Key_" + number + "\r\n";
        } else if (!keys[n].empty()) {
            text += keys[n] + "\r\n";
        }
    }
    return text;
}

// A .txt layout: the header and the lines of keys 1 to 112, untouched ones filled in.
std::string LegacyFile(const std::string& header, bool sixteen, std::map<int, std::string> keys)
{
    std::string text = header + "\r\n";
    for (int n = 1; n <= 112; ++n) {
        const std::string number = std::to_string(n);
        const std::string empty =
            sixteen ? "; " + kLegacyZeros16 + "; 10;0;Key_" : "; 0, 0, 0, 0, 0, 0, 0; 2;Key_";
        text += (keys.count(n) != 0 ? keys[n] : number + empty + number) + "\r\n";
    }
    return text;
}

struct FileCase
{
    const char* name;
    uint8_t typeId;
    std::function<void(Keyboard&)> program;
    std::string expected;
    uint8_t format;
};

std::vector<FileCase> FileCases()
{
    const std::string wide = "; 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0; 11;1;Wide";
    return {
        {"Zq2200", kTypeZq2200One,
         [](Keyboard& keyboard) {
             ASSERT_TRUE(keyboard.SetKeyTexts("Shift A", "M1,S+,K0xE1,K0x04", 1, 1, 1));
             ASSERT_TRUE(keyboard.SetKeyTexts("Wide", "M1,K0x05", 1, 3, 1));
             ASSERT_TRUE(keyboard.ChangeShape(1, 3, ShapeRight, 1));
         },
         UsbFile("ZQ-2200.v1", kUsbOptions + ",LC1", 40,
                 {{1, "1:M1,S+,K0xE1,K0x04,N=Shift A"}, {11, "11:G2,M1,S+,K0x05,N=Wide"}, {12, ""}}),
         1},
        {"Zq3300", kTypeZq3300SingleOne,
         [](Keyboard& keyboard) {
             ASSERT_TRUE(keyboard.SetKeyTexts("Total", "M1,S-,K0x04,K0x05", 3, 2, 1));
             ASSERT_TRUE(keyboard.SetTypematicRate(0));
         },
         UsbFile("ZQ-3300.v1", "RFID=9N,MB,P=3,R=0,D=2,KP0x0000,KS0x0000,LC1S", 56,
                 {{11, "11:M1,S-,K0x04,K0x05,N=Total"}}),
         1},
        {"Zq1100SevenSlots", kTypeZq1100V1Single,
         [](Keyboard& keyboard) {
             ASSERT_TRUE(Cell(keyboard, 1, 1)->ParseCodesText("I28, 240, 28; 6"));
             Cell(keyboard, 1, 1)->SetName("A;b ");
         },
         LegacyFile("56; 0; 0; 2; 11", false, {{1, "1; 28, 240, 28, 0, 0, 0, 0; 2;A;b "}}), 2},
        {"Zq1100SixteenSlotsMerged", kTypeZq1100V2Single,
         [](Keyboard& keyboard) {
             ASSERT_TRUE(Cell(keyboard, 1, 1)->ParseCodesText("I28; 10"));
             Cell(keyboard, 1, 1)->SetName("Wide");
             ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));
         },
         LegacyFile("57; 0; 0; 2; 11; 148; 0; 0; 3", true, {{1, "1" + wide}, {2, "2" + wide}}), 1},
    };
}

class SnapshotFile : public ::testing::TestWithParam<FileCase>
{
};

// Programs keys of several shapes, names and options in whatever layouts the project has.
void ProgramProject(Keyboard& keyboard)
{
    const uint8_t last = keyboard.GetLayoutCount();
    if (keyboard.GetTypeId() >= kTypeZq1100V1Single) {
        ASSERT_TRUE(Cell(keyboard, 1, 3, last)->ParseCodesText("I18, 28; 8"));
        Cell(keyboard, 1, 3, last)->SetName("Tall; with separator");
        ASSERT_TRUE(Cell(keyboard, 4, 5)->ParseCodesText("I224, 20; 10"));
        // Only 16-slot lines keep merged keys.
        if (keyboard.GetTypeId() >= kTypeZq1100V2Single) {
            ASSERT_TRUE(keyboard.ChangeShape(4, 5, ShapeBelow | ShapeRight | ShapeRightBelow, 1));
        }
        ASSERT_TRUE(keyboard.SetTypematicRate(30));
        return;
    }
    ASSERT_TRUE(keyboard.SetKeyTexts("Merged", "M1,S-,K0x04,K0x05", 1, 1, last));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, last));
    ASSERT_TRUE(keyboard.SetKeyTexts("Quad, with comma", "M2,K0xE1", 3, 3, 1));
    ASSERT_TRUE(keyboard.ChangeShape(3, 3, ShapeBelow | ShapeRight | ShapeRightBelow, 1));
    auto& usb = dynamic_cast<UsbKeyboardCommon&>(keyboard);
    if (usb.GetLayoutsPerSide() >= 2) {
        ASSERT_TRUE(keyboard.SetKeyTexts("To two", "L2", 1, 4, last));
    }
    ASSERT_TRUE(keyboard.SetRfidDigits(13));
    ASSERT_TRUE(keyboard.SetKeyPause(200));
    ASSERT_TRUE(usb.GetAffixCell(true).ParseCodesText("0xE104"));
}

class SnapshotRoundTrip : public ::testing::TestWithParam<uint8_t>
{
};

} // namespace

TEST_P(SnapshotFile, TextIsTheSavedFileByteForByte)
{
    const FileCase& c = GetParam();
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(c.typeId);
    ASSERT_TRUE(keyboard);
    c.program(*keyboard);

    uint8_t format = 0;
    std::string text;
    ASSERT_TRUE(keyboard->SaveToMemory(text, &format));
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(format, c.format);
    const std::optional<ProjectSnapshot> snapshot = TakeSnapshot(*keyboard);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->text, c.expected);

    TempFolder folder;
    format = 0;
    ASSERT_TRUE(keyboard->SaveFile(folder.File("project"), &format));
    EXPECT_EQ(ReadWholeFile(folder.File("project")), c.expected);
}

INSTANTIATE_TEST_SUITE_P(EachFamily, SnapshotFile, ::testing::ValuesIn(FileCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(SnapshotRoundTrip, RestoresTheProjectAsItWasWhenTaken)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(GetParam());
    ASSERT_TRUE(keyboard);
    ProgramProject(*keyboard);
    const std::string signature = keyboard->GetContentSignature();
    const std::optional<ProjectSnapshot> snapshot = TakeSnapshot(*keyboard);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->signature, signature);

    // A later change must not reach the snapshot.
    ASSERT_TRUE(keyboard->SetTypematicRate(5));
    ASSERT_NE(keyboard->GetContentSignature(), signature);

    std::unique_ptr<Keyboard> restored = RestoreSnapshot(*snapshot);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->GetTypeId(), GetParam());
    EXPECT_EQ(restored->GetContentSignature(), signature);
    const std::optional<ProjectSnapshot> again = TakeSnapshot(*restored);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->text, snapshot->text);
}

INSTANTIATE_TEST_SUITE_P(EveryType, SnapshotRoundTrip, ::testing::Range<uint8_t>(0, kKeyboardTypeCount),
                         [](const auto& info) { return "Type" + std::to_string(info.param); });

TEST(Snapshot, NeedsNoTemporaryFolder)
{
    TempFolder folder;
    const std::string file = folder.Write("plain-file", "x");
    for (const std::string& tmpdir : {folder.File("missing"), file}) {
        SCOPED_TRACE(tmpdir);
        ScopedEnvironment environment("TMPDIR", tmpdir);
        std::unique_ptr<Keyboard> keyboard = CreateKeyboard(kTypeZq2200Three);
        ASSERT_TRUE(keyboard->SetKeyTexts("A", "M1,K0x04", 2, 2, 1));
        const std::optional<ProjectSnapshot> snapshot = TakeSnapshot(*keyboard);
        ASSERT_TRUE(snapshot);
        std::unique_ptr<Keyboard> restored = RestoreSnapshot(*snapshot);
        ASSERT_TRUE(restored);
        EXPECT_EQ(restored->GetContentSignature(), keyboard->GetContentSignature());
    }
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"plain-file"});
}

TEST(Snapshot, ATextTheTypeCannotReadRestoresNothing)
{
    ProjectSnapshot usb = *TakeSnapshot(*CreateKeyboard(kTypeZq2200Three));
    ProjectSnapshot legacy = *TakeSnapshot(*CreateKeyboard(kTypeZq1100V2Double));
    const struct
    {
        uint8_t typeId;
        std::string text;
    } cases[] = {
        {kNoKeyboardType, usb.text},
        {kTypeZq3300DoubleOne, usb.text},
        {kTypeZq1100V2Double, usb.text},
        {kTypeZq2200Three, "ZQ-2200.v1\r\n"},
        {kTypeZq1100V2Double, legacy.text.substr(0, legacy.text.size() / 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.typeId));
        ProjectSnapshot snapshot;
        snapshot.typeId = c.typeId;
        snapshot.text = c.text;
        EXPECT_EQ(RestoreSnapshot(snapshot), nullptr);
    }
}
