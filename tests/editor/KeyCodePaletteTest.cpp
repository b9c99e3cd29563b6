// Codes put in from the palette: what capture records for the same keys, under the same rules.
#include "editor/KeyCodePalette.h"

#include "keycodes/KeyTables.h"
#include "model/KeyMessage.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "model/LegacyKeyCell.h"
#include "model/ModelTestHelpers.h"
#include "model/UsbKeyCell.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const KeyCodeEntry& Entry(KeyCodeFamily family, const std::string& name, size_t skip = 0)
{
    for (const KeyCodeEntry& entry : GetKeyCodeCatalogue(family)) {
        if (entry.name == name && skip-- == 0) {
            return entry;
        }
    }
    ADD_FAILURE() << name;
    return GetKeyCodeCatalogue(family).front();
}

// The key a user would press for the row, pressed and released into the cell as capture does.
void PressAndRelease(KeyCell& cell, uint16_t set1Code)
{
    bool handled = false;
    cell.HandleKeyMessage(MakeKeyDownMessage(0, set1Code), cell.GetCodeCount() + 1, &handled);
    cell.HandleKeyMessage(MakeKeyUpMessage(0, set1Code), cell.GetCodeCount() + 1, &handled);
}

uint16_t Set1Of(KeyCodeFamily family, int row)
{
    return family == KeyCodeFamily::Usb ? GetUsbRow(row)->set1 : GetLegacyRow(row)->set1;
}

// Cells of both families in the states whose rules differ.
std::vector<std::unique_ptr<KeyCell>> StartCells()
{
    std::vector<std::unique_ptr<KeyCell>> cells;
    cells.push_back(std::make_unique<UsbKeyCell>(1, 1, 1, 1, 16));
    auto almostFull = std::make_unique<UsbKeyCell>(1, 1, 1, 1, 3);
    almostFull->ParseCodesText("M1,K4,K5");
    cells.push_back(std::move(almostFull));
    auto modifier = std::make_unique<UsbKeyCell>(1, 1, 1, 1, 8);
    modifier->ParseCodesText("M2,K0xE1");
    cells.push_back(std::move(modifier));
    cells.push_back(std::make_unique<LegacyKeyCell>(1, 1, 1, 1, 16));
    auto legacySmall = std::make_unique<LegacyKeyCell>(1, 1, 1, 1, 3);
    legacySmall->ParseCodesText("I28; 2");
    cells.push_back(std::move(legacySmall));
    return cells;
}

} // namespace

TEST(KeyCodePalette, RecordsWhatCapturingThatKeyRecords)
{
    for (const std::unique_ptr<KeyCell>& start : StartCells()) {
        const KeyCodeFamily family = GetCellFamily(*start);
        for (const KeyCodeEntry& entry : GetKeyCodeCatalogue(family)) {
            const uint16_t set1 = Set1Of(family, entry.row);
            // No key to press: the release rows come from letting a modifier go, and a key whose
            // set-1 code an earlier row has (Europe_1 on USB) is captured as that row.
            const int capturedRow = family == KeyCodeFamily::Usb ? UsbKeyTable::FindRowBySet1(set1)
                                                                 : LegacyKeyTable::FindRowBySet1(set1);
            if (set1 == 0 || (set1 & 0x8000) != 0 || capturedRow != entry.row) {
                continue;
            }
            SCOPED_TRACE(start->FormatCodesText(0) + " + " + entry.name);
            std::unique_ptr<KeyCell> captured = start->Clone();
            PressAndRelease(*captured, set1);
            std::unique_ptr<KeyCell> added = start->Clone();
            EXPECT_EQ(AddKeyCode(*added, entry), Codes(*captured) != Codes(*start));
            EXPECT_EQ(Codes(*added), Codes(*captured));
            EXPECT_EQ(CheckKeyCode(start.get(), entry) == CodeRefusal::None, Codes(*added) != Codes(*start));
        }
    }
}

TEST(KeyCodePalette, KeysWithoutSet1CodeGoIntoAZq2200KeyAndReadBack)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(kTypeZq2200One);
    ASSERT_NE(keyboard, nullptr);
    KeyCell* copy = nullptr;
    ASSERT_TRUE(keyboard->BeginEditCell(1, 1, &copy, 1));
    ASSERT_TRUE(AddKeyCode(*copy, Entry(KeyCodeFamily::Usb, "F13")));
    // Power is listed twice: first the system control page, which the key's record cannot hold.
    const KeyCodeEntry& systemPower = Entry(KeyCodeFamily::Usb, "Power");
    EXPECT_EQ(systemPower.codes.front(), 0x00010081u);
    EXPECT_EQ(CheckKeyCode(copy, systemPower), CodeRefusal::NotStored);
    EXPECT_FALSE(AddKeyCode(*copy, systemPower));
    ASSERT_TRUE(AddKeyCode(*copy, Entry(KeyCodeFamily::Usb, "Power", 1)));
    EXPECT_EQ(Codes(*copy), (std::vector<uint32_t>{0x00070068, 0x00070066}));

    // Saved in the project file and read again.
    ASSERT_TRUE(keyboard->EndEditCell(&copy));
    const std::string text = CodesAt(*keyboard, 1, 1, 1);
    EXPECT_EQ(text, "M1,S+,K0x68,K0x66");
    EXPECT_TRUE(keyboard->IsValidKeyTexts(text, 1, 1, 1));
}

TEST(KeyCodePalette, Zq1100KeyTakesTheSequencesOfItsOwnTable)
{
    LegacyKeyCell cell(1, 1, 1, 1, 16);
    ASSERT_TRUE(AddKeyCode(cell, Entry(KeyCodeFamily::Legacy, "Pause")));
    ASSERT_TRUE(AddKeyCode(cell, Entry(KeyCodeFamily::Legacy, "Print_screen")));
    EXPECT_EQ(Codes(cell), (std::vector<uint32_t>{0xE1, 0x14, 0x77, 0xE0, 0x12, 0xE0, 0x7C}));
    EXPECT_EQ(cell.GetCodeDisplayText(3), "Pause");
    EXPECT_EQ(cell.GetCodeDisplayText(7), "Print_screen");
}

struct Refusal
{
    const char* codesText; // a ZQ-2200 key of capacity 4
    const char* entry;
    size_t skip;
    CodeRefusal refusal;
};

class PaletteRefusal : public testing::TestWithParam<Refusal>
{
};

TEST_P(PaletteRefusal, SaysWhyTheKeyTakesNothing)
{
    UsbKeyCell cell(1, 1, 1, 1, 4);
    cell.SetLayoutLimit(2);
    cell.ParseCodesText(GetParam().codesText);
    const KeyCodeEntry& entry = Entry(KeyCodeFamily::Usb, GetParam().entry, GetParam().skip);
    EXPECT_EQ(CheckKeyCode(&cell, entry), GetParam().refusal);
    const std::vector<uint32_t> before = Codes(cell);
    EXPECT_EQ(AddKeyCode(cell, entry), GetParam().refusal == CodeRefusal::None);
    if (GetParam().refusal != CodeRefusal::None) {
        EXPECT_EQ(Codes(cell), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, PaletteRefusal,
                         testing::Values(Refusal{"M1", "F24", 0, CodeRefusal::None},
                                         Refusal{"M1,K4,K5,K6,K7", "F24", 0, CodeRefusal::Full},
                                         Refusal{"M1,K4,K5,K6", "Left_shift", 0, CodeRefusal::None},
                                         Refusal{"M2,K0xE1", "A", 0, CodeRefusal::ModifiersOnly},
                                         Refusal{"M2,K0xE1", "Left_shift", 0, CodeRefusal::AlreadyThere},
                                         Refusal{"M2,K0xE1", "Right_Alt", 0, CodeRefusal::None},
                                         Refusal{"M1", "Release_Left_shift", 0, CodeRefusal::ReleaseFirst},
                                         Refusal{"M1,K4", "Release_Left_shift", 0, CodeRefusal::None},
                                         Refusal{"L1", "F13", 0, CodeRefusal::LayoutSwitch},
                                         Refusal{"M1", "Sleep", 0, CodeRefusal::NotStored}));

TEST(KeyCodePalette, NoKeyNoCodes)
{
    EXPECT_EQ(CheckKeyCode(nullptr, Entry(KeyCodeFamily::Usb, "F13")), CodeRefusal::NoKey);
}
