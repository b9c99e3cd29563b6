#include "editor/NativeKeyTable.h"
#include "editor/VirtualKeys.h"
#include "keycodes/KeyTables.h"

#include <gtest/gtest.h>

#include <ios>
#include <set>
#include <string>
#include <vector>

namespace {

// One key of a 105-key keyboard: its evdev code (input-event-codes.h), the set-1 code and virtual
// key capture must report, and the USB table's name for that set-1 code.
struct KeyRow
{
    uint32_t evdev;
    uint16_t set1;
    uint8_t virtualKey;
    const char* usbName;
};

std::ostream& operator<<(std::ostream& out, const KeyRow& row)
{
    return out << "evdev " << row.evdev << " (" << row.usbName << ")";
}

const std::vector<KeyRow> kLetters = {
    {16, 0x010, 'Q', " Q "}, {17, 0x011, 'W', " W "},    {18, 0x012, 'E', " E "}, {19, 0x013, 'R', " R "},
    {20, 0x014, 'T', " T "}, {21, 0x015, 'Y', " Y (Z)"}, {22, 0x016, 'U', " U "}, {23, 0x017, 'I', " I "},
    {24, 0x018, 'O', " O "}, {25, 0x019, 'P', " P "},    {30, 0x01E, 'A', " A "}, {31, 0x01F, 'S', " S "},
    {32, 0x020, 'D', " D "}, {33, 0x021, 'F', " F "},    {34, 0x022, 'G', " G "}, {35, 0x023, 'H', " H "},
    {36, 0x024, 'J', " J "}, {37, 0x025, 'K', " K "},    {38, 0x026, 'L', " L "}, {44, 0x02C, 'Z', " Z (Y)"},
    {45, 0x02D, 'X', " X "}, {46, 0x02E, 'C', " C "},    {47, 0x02F, 'V', " V "}, {48, 0x030, 'B', " B "},
    {49, 0x031, 'N', " N "}, {50, 0x032, 'M', " M "},
};

const std::vector<KeyRow> kDigits = {
    {2, 0x002, '1', " 1 "},  {3, 0x003, '2', " 2 "},  {4, 0x004, '3', " 3 "}, {5, 0x005, '4', " 4 "},
    {6, 0x006, '5', " 5 "},  {7, 0x007, '6', " 6 "},  {8, 0x008, '7', " 7 "}, {9, 0x009, '8', " 8 "},
    {10, 0x00A, '9', " 9 "}, {11, 0x00B, '0', " 0 "},
};

const std::vector<KeyRow> kPunctuation = {
    {41, 0x029, 0xC0, " ` "}, {12, 0x00C, 0xBD, " - "}, {13, 0x00D, 0xBB, " = "},
    {26, 0x01A, 0xDB, " [ "}, {27, 0x01B, 0xDD, " ] "}, {43, 0x02B, 0xDC, " \\ "},
    {39, 0x027, 0xBA, " ; "}, {40, 0x028, 0xDE, " ' "}, {51, 0x033, 0xBC, " , "},
    {52, 0x034, 0xBE, " . "}, {53, 0x035, 0xBF, " / "}, {86, 0x056, 0xE2, "Europe_2"},
};

const std::vector<KeyRow> kFunctionRow = {
    {1, 0x001, 0x1B, "Esc"},    {59, 0x03B, 0x70, " F1 "},  {60, 0x03C, 0x71, " F2 "},
    {61, 0x03D, 0x72, " F3 "},  {62, 0x03E, 0x73, " F4 "},  {63, 0x03F, 0x74, " F5 "},
    {64, 0x040, 0x75, " F6 "},  {65, 0x041, 0x76, " F7 "},  {66, 0x042, 0x77, " F8 "},
    {67, 0x043, 0x78, " F9 "},  {68, 0x044, 0x79, " F10 "}, {87, 0x057, 0x7A, " F11 "},
    {88, 0x058, 0x7B, " F12 "},
};

const std::vector<KeyRow> kEditing = {
    {15, 0x00F, 0x09, "Tab"},       {58, 0x03A, 0x14, "Caps_lock"}, {28, 0x01C, 0x0D, "Enter"},
    {14, 0x00E, 0x08, "Backspace"}, {57, 0x039, 0x20, "Space"},
};

// Left and right apart, as the key-down table and the modifier state need them.
const std::vector<KeyRow> kModifiers = {
    {42, 0x02A, 0xA0, "Left_shift"},    {54, 0x036, 0xA1, "Right_shift"},   {29, 0x01D, 0xA2, "Left_Control"},
    {97, 0x11D, 0xA3, "Right_Control"}, {56, 0x038, 0xA4, "Left_Alt"},      {100, 0x138, 0xA5, "Right_Alt"},
    {125, 0x15B, 0x5B, "Left_WinKey"},  {126, 0x15C, 0x5C, "Right_WinKey"}, {127, 0x15D, 0x5D, "Menu_Key"},
};

const std::vector<KeyRow> kNavigation = {
    {110, 0x152, 0x2D, "Insert"}, {111, 0x153, 0x2E, "Delete"},  {102, 0x147, 0x24, "Home"},
    {107, 0x14F, 0x23, "End"},    {104, 0x149, 0x21, "Page_up"}, {109, 0x151, 0x22, "Page_down"},
    {103, 0x148, 0x26, "Up"},     {108, 0x150, 0x28, "Down"},    {105, 0x14B, 0x25, "Left"},
    {106, 0x14D, 0x27, "Right"},
};

// The same scan codes as the navigation block, without E0.
const std::vector<KeyRow> kNumPad = {
    {69, 0x145, 0x90, "Num_Lock"}, {98, 0x135, 0x6F, "NumPad_/"}, {55, 0x037, 0x6A, "NumPad_*"},
    {74, 0x04A, 0x6D, "NumPad_-"}, {78, 0x04E, 0x6B, "NumPad_+"}, {96, 0x11C, 0x0D, "NumPad_Enter"},
    {83, 0x053, 0x6E, "NumPad_."}, {82, 0x052, 0x60, "NumPad_0"}, {79, 0x04F, 0x61, "NumPad_1"},
    {80, 0x050, 0x62, "NumPad_2"}, {81, 0x051, 0x63, "NumPad_3"}, {75, 0x04B, 0x64, "NumPad_4"},
    {76, 0x04C, 0x65, "NumPad_5"}, {77, 0x04D, 0x66, "NumPad_6"}, {71, 0x047, 0x67, "NumPad_7"},
    {72, 0x048, 0x68, "NumPad_8"}, {73, 0x049, 0x69, "NumPad_9"},
};

const std::vector<KeyRow> kSpecials = {
    {99, 0x137, 0x2C, "Print_screen"},
    {70, 0x046, 0x91, "Scroll_Lock"},
    {119, 0x045, 0x13, "Pause"},
};

const std::vector<const std::vector<KeyRow>*> kGroups = {&kLetters,     &kDigits,  &kPunctuation,
                                                         &kFunctionRow, &kEditing, &kModifiers,
                                                         &kNavigation,  &kNumPad,  &kSpecials};

std::vector<KeyRow> AllKeys()
{
    std::vector<KeyRow> keys;
    for (const std::vector<KeyRow>* group : kGroups) {
        keys.insert(keys.end(), group->begin(), group->end());
    }
    return keys;
}

class NativeKeyRows : public testing::TestWithParam<KeyRow>
{
};

} // namespace

TEST_P(NativeKeyRows, EvdevAndXkbCodesGiveTheKeyOfTheTables)
{
    const KeyRow& row = GetParam();
    NativeKey key;
    ASSERT_TRUE(NativeKeyTable::FindByEvdevCode(row.evdev, &key));
    EXPECT_EQ(key.set1Code, row.set1);
    EXPECT_EQ(key.virtualKey, row.virtualKey);
    EXPECT_EQ(UsbKeyTable::GetRowName(UsbKeyTable::FindRowBySet1(key.set1Code)), row.usbName);

    NativeKey viaXkb;
    ASSERT_TRUE(NativeKeyTable::FindByXkbKeycode(row.evdev + 8, &viaXkb));
    EXPECT_EQ(viaXkb.set1Code, row.set1);

    NativeKey viaWindows;
    ASSERT_TRUE(NativeKeyTable::FindByWindowsScanCode(row.set1 & 0xFF, (row.set1 & 0x100) != 0, &viaWindows));
    EXPECT_EQ(viaWindows.virtualKey, row.virtualKey);

    EXPECT_EQ(NativeKeyTable::FindEvdevCode(row.set1), row.evdev);
    EXPECT_EQ(NativeKeyTable::FindXkbKeycode(row.set1), row.evdev + 8);
}

INSTANTIATE_TEST_SUITE_P(Letters, NativeKeyRows, testing::ValuesIn(kLetters));
INSTANTIATE_TEST_SUITE_P(Digits, NativeKeyRows, testing::ValuesIn(kDigits));
INSTANTIATE_TEST_SUITE_P(Punctuation, NativeKeyRows, testing::ValuesIn(kPunctuation));
INSTANTIATE_TEST_SUITE_P(FunctionRow, NativeKeyRows, testing::ValuesIn(kFunctionRow));
INSTANTIATE_TEST_SUITE_P(Editing, NativeKeyRows, testing::ValuesIn(kEditing));
INSTANTIATE_TEST_SUITE_P(Modifiers, NativeKeyRows, testing::ValuesIn(kModifiers));
INSTANTIATE_TEST_SUITE_P(Navigation, NativeKeyRows, testing::ValuesIn(kNavigation));
INSTANTIATE_TEST_SUITE_P(NumPad, NativeKeyRows, testing::ValuesIn(kNumPad));
INSTANTIATE_TEST_SUITE_P(Specials, NativeKeyRows, testing::ValuesIn(kSpecials));

TEST(NativeKeyTable, EveryKeyOfA105KeyKeyboardMapsToItsOwnCode)
{
    const std::vector<KeyRow> keys = AllKeys();
    std::set<uint32_t> evdevCodes;
    std::set<uint16_t> set1Codes;
    int mapped = 0;
    for (const KeyRow& row : keys) {
        evdevCodes.insert(row.evdev);
        NativeKey key;
        if (NativeKeyTable::FindByEvdevCode(row.evdev, &key)) {
            ++mapped;
            set1Codes.insert(key.set1Code);
        }
    }
    EXPECT_EQ(evdevCodes.size(), 105u);
    EXPECT_EQ(mapped, 105);
    EXPECT_EQ(set1Codes.size(), 105u); // no two keys look alike to the cells
}

// Windows reports some keys with codes that no Linux key code produces.
TEST(NativeKeyTable, WindowsScanCodes)
{
    struct Row
    {
        uint32_t scanCode;
        bool extended;
        uint8_t virtualKey; // 0: not a key
    };
    const Row rows[] = {
        {0x45, false, VkPause},
        {0x45, true, VkNumLock},
        {0x37, true, VkPrintScreen},
        {0x37, false, VkMultiply},
        {0x54, false, VkPrintScreen}, // Alt+Print Screen
        {0x46, true, VkCancel},
        {0x46, false, VkScrollLock}, // Ctrl+Pause
        {0x36, true, VkRightShift},
        {0x1C, true, VkReturn},
        {0x1D, true, VkRightControl},
        {0x47, false, VkNumPad0 + 7},
        {0x47, true, VkHome},
        {0, false, 0},
        {0, true, 0},
        {0x7F, false, 0},
        {0x11E, false, 0},
        {0x1E, true, 0},
    };
    for (const Row& row : rows) {
        NativeKey key;
        SCOPED_TRACE(testing::Message() << std::hex << row.scanCode << (row.extended ? " E0" : ""));
        ASSERT_EQ(NativeKeyTable::FindByWindowsScanCode(row.scanCode, row.extended, &key),
                  row.virtualKey != 0);
        if (row.virtualKey != 0) {
            EXPECT_EQ(key.virtualKey, row.virtualKey);
            EXPECT_EQ(key.GetScanCode(), row.scanCode);
            EXPECT_EQ(key.IsExtended(), row.extended);
        }
    }
}

TEST(NativeKeyTable, UnknownCodesAreNoKey)
{
    NativeKey key;
    for (uint32_t evdev : {0u, 84u, 85u, 89u, 101u, 113u, 116u, 117u, 195u, 0x2FFu}) {
        EXPECT_FALSE(NativeKeyTable::FindByEvdevCode(evdev, &key)) << evdev;
    }
    EXPECT_FALSE(NativeKeyTable::FindByXkbKeycode(8, &key));
    EXPECT_FALSE(NativeKeyTable::FindByXkbKeycode(3, &key));
    EXPECT_FALSE(NativeKeyTable::FindByEvdevCode(30, nullptr));
    EXPECT_EQ(NativeKeyTable::FindEvdevCode(0), 0u);
    EXPECT_EQ(NativeKeyTable::FindEvdevCode(0x11E), 0u);
    EXPECT_EQ(NativeKeyTable::FindXkbKeycode(0x12A), 0u);
    // The Windows-only codes share a Linux key.
    EXPECT_EQ(NativeKeyTable::FindEvdevCode(0x146), 119u);
    EXPECT_EQ(NativeKeyTable::FindEvdevCode(0x054), 99u);
}

// F13 to F24 have scan codes, but the key tables list them without a set-1 code: the cells
// find no row and record nothing.
TEST(NativeKeyTable, F13ToF24)
{
    const uint16_t set1[] = {0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};
    for (int i = 0; i < 12; ++i) {
        NativeKey key;
        ASSERT_TRUE(NativeKeyTable::FindByEvdevCode(183 + i, &key)) << i;
        EXPECT_EQ(key.set1Code, set1[i]);
        EXPECT_EQ(key.virtualKey, 0x7C + i);
        EXPECT_EQ(UsbKeyTable::FindRowBySet1(key.set1Code), 0);
        EXPECT_EQ(LegacyKeyTable::FindRowBySet1(key.set1Code), 0);
    }
}
