#include "editor/NativeKeyTable.h"

#include "editor/VirtualKeys.h"

namespace {

constexpr uint32_t kXkbOffset = 8;

struct NativeKeyRow
{
    uint16_t evdev;
    uint16_t set1;
    uint8_t virtualKey;
};

// Searched from the top: a key's own row comes before the Windows-only codes that share its evdev
// code (Right Shift seen as E0 36, Ctrl+Pause, Alt+Print Screen).
constexpr NativeKeyRow kRows[] = {
    {1, 0x001, VkEscape},
    {2, 0x002, Vk0 + 1},
    {3, 0x003, Vk0 + 2},
    {4, 0x004, Vk0 + 3},
    {5, 0x005, Vk0 + 4},
    {6, 0x006, Vk0 + 5},
    {7, 0x007, Vk0 + 6},
    {8, 0x008, Vk0 + 7},
    {9, 0x009, Vk0 + 8},
    {10, 0x00A, Vk0 + 9},
    {11, 0x00B, Vk0},
    {12, 0x00C, VkMinus},
    {13, 0x00D, VkEquals},
    {14, 0x00E, VkBackspace},
    {15, 0x00F, VkTab},
    {16, 0x010, 'Q'},
    {17, 0x011, 'W'},
    {18, 0x012, 'E'},
    {19, 0x013, 'R'},
    {20, 0x014, 'T'},
    {21, 0x015, 'Y'},
    {22, 0x016, 'U'},
    {23, 0x017, 'I'},
    {24, 0x018, 'O'},
    {25, 0x019, 'P'},
    {26, 0x01A, VkLeftBracket},
    {27, 0x01B, VkRightBracket},
    {28, 0x01C, VkReturn},
    {29, 0x01D, VkLeftControl},
    {30, 0x01E, 'A'},
    {31, 0x01F, 'S'},
    {32, 0x020, 'D'},
    {33, 0x021, 'F'},
    {34, 0x022, 'G'},
    {35, 0x023, 'H'},
    {36, 0x024, 'J'},
    {37, 0x025, 'K'},
    {38, 0x026, 'L'},
    {39, 0x027, VkSemicolon},
    {40, 0x028, VkApostrophe},
    {41, 0x029, VkGrave},
    {42, 0x02A, VkLeftShift},
    {43, 0x02B, VkBackslash},
    {44, 0x02C, 'Z'},
    {45, 0x02D, 'X'},
    {46, 0x02E, 'C'},
    {47, 0x02F, 'V'},
    {48, 0x030, 'B'},
    {49, 0x031, 'N'},
    {50, 0x032, 'M'},
    {51, 0x033, VkComma},
    {52, 0x034, VkPeriod},
    {53, 0x035, VkSlash},
    {54, 0x036, VkRightShift},
    {55, 0x037, VkMultiply},
    {56, 0x038, VkLeftAlt},
    {57, 0x039, VkSpace},
    {58, 0x03A, VkCapsLock},
    {59, 0x03B, VkF1},
    {60, 0x03C, VkF1 + 1},
    {61, 0x03D, VkF1 + 2},
    {62, 0x03E, VkF1 + 3},
    {63, 0x03F, VkF1 + 4},
    {64, 0x040, VkF1 + 5},
    {65, 0x041, VkF1 + 6},
    {66, 0x042, VkF1 + 7},
    {67, 0x043, VkF1 + 8},
    {68, 0x044, VkF1 + 9},
    // Windows reports Num Lock as an E0 key so that the plain 0x45 is left to Pause.
    {69, 0x145, VkNumLock},
    {70, 0x046, VkScrollLock},
    // The keypad always gives its Num Lock-on keys: the cells go by scan code, and the
    // navigation keys of the E0 block stay apart by their extended flag.
    {71, 0x047, VkNumPad0 + 7},
    {72, 0x048, VkNumPad0 + 8},
    {73, 0x049, VkNumPad0 + 9},
    {74, 0x04A, VkSubtract},
    {75, 0x04B, VkNumPad0 + 4},
    {76, 0x04C, VkNumPad0 + 5},
    {77, 0x04D, VkNumPad0 + 6},
    {78, 0x04E, VkAdd},
    {79, 0x04F, VkNumPad0 + 1},
    {80, 0x050, VkNumPad0 + 2},
    {81, 0x051, VkNumPad0 + 3},
    {82, 0x052, VkNumPad0},
    {83, 0x053, VkDecimal},
    {86, 0x056, VkOem102},
    {87, 0x057, VkF1 + 10},
    {88, 0x058, VkF1 + 11},
    {96, 0x11C, VkReturn},
    {97, 0x11D, VkRightControl},
    {98, 0x135, VkDivide},
    {99, 0x137, VkPrintScreen},
    {100, 0x138, VkRightAlt},
    {102, 0x147, VkHome},
    {103, 0x148, VkUp},
    {104, 0x149, VkPageUp},
    {105, 0x14B, VkLeft},
    {106, 0x14D, VkRight},
    {107, 0x14F, VkEnd},
    {108, 0x150, VkDown},
    {109, 0x151, VkPageDown},
    {110, 0x152, VkInsert},
    {111, 0x153, VkDelete},
    // The whole E1 sequence of Pause arrives as one key; Windows gives it the plain 0x45.
    {119, 0x045, VkPause},
    {125, 0x15B, VkLeftWindows},
    {126, 0x15C, VkRightWindows},
    {127, 0x15D, VkMenu},
    // F13 to F24 have scan codes but no set-1 code in the key tables, so the cells record
    // nothing for them; they still reach the key panel like any key.
    {183, 0x064, VkF1 + 12},
    {184, 0x065, VkF1 + 13},
    {185, 0x066, VkF1 + 14},
    {186, 0x067, VkF1 + 15},
    {187, 0x068, VkF1 + 16},
    {188, 0x069, VkF1 + 17},
    {189, 0x06A, VkF1 + 18},
    {190, 0x06B, VkF1 + 19},
    {191, 0x06C, VkF1 + 20},
    {192, 0x06D, VkF1 + 21},
    {193, 0x06E, VkF1 + 22},
    {194, 0x076, VkF1 + 23},
    // Windows only.
    {54, 0x136, VkRightShift},
    {119, 0x146, VkCancel},
    {99, 0x054, VkPrintScreen},
};

const NativeKeyRow* FindRow(bool (*matches)(const NativeKeyRow&, uint32_t), uint32_t value)
{
    for (const NativeKeyRow& row : kRows) {
        if (matches(row, value)) {
            return &row;
        }
    }
    return nullptr;
}

bool Answer(const NativeKeyRow* row, NativeKey* key)
{
    if (row == nullptr || key == nullptr) {
        return false;
    }
    key->set1Code = row->set1;
    key->virtualKey = row->virtualKey;
    return true;
}

} // namespace

bool NativeKeyTable::FindByEvdevCode(uint32_t evdevCode, NativeKey* key)
{
    return Answer(
        FindRow([](const NativeKeyRow& row, uint32_t code) { return row.evdev == code; }, evdevCode), key);
}

bool NativeKeyTable::FindByXkbKeycode(uint32_t keycode, NativeKey* key)
{
    return keycode > kXkbOffset && FindByEvdevCode(keycode - kXkbOffset, key);
}

bool NativeKeyTable::FindByWindowsScanCode(uint32_t scanCode, bool extended, NativeKey* key)
{
    if (scanCode == 0 || scanCode > 0xFF) {
        return false;
    }
    const uint32_t set1 = scanCode | (extended ? 0x100u : 0u);
    return Answer(FindRow([](const NativeKeyRow& row, uint32_t code) { return row.set1 == code; }, set1),
                  key);
}

uint32_t NativeKeyTable::FindEvdevCode(uint16_t set1Code)
{
    const NativeKeyRow* row = FindRow(
        [](const NativeKeyRow& candidate, uint32_t code) { return candidate.set1 == code; }, set1Code);
    return row != nullptr ? row->evdev : 0;
}

uint32_t NativeKeyTable::FindXkbKeycode(uint16_t set1Code)
{
    const uint32_t evdev = FindEvdevCode(set1Code);
    return evdev != 0 ? evdev + kXkbOffset : 0;
}
