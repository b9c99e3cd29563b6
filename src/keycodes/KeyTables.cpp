#include "keycodes/KeyTables.h"

#include "lang/Texts.h"

#include <algorithm>
#include <cstring>

namespace {

// Rows in table order: lookups take the first match, so duplicates stay where they are.
const LegacyKeyEntry kLegacyRows[kLegacyRowCount] = {
    {1, 0x029, {0x0E}, 0, " ` "},
    {2, 0x002, {0x16}, 0, " 1 "},
    {3, 0x003, {0x1E}, 0, " 2 "},
    {4, 0x004, {0x26}, 0, " 3 "},
    {5, 0x005, {0x25}, 0, " 4 "},
    {6, 0x006, {0x2E}, 0, " 5 "},
    {7, 0x007, {0x36}, 0, " 6 "},
    {8, 0x008, {0x3D}, 0, " 7 "},
    {9, 0x009, {0x3E}, 0, " 8 "},
    {10, 0x00A, {0x46}, 0, " 9 "},
    {11, 0x00B, {0x45}, 0, " 0 "},
    {12, 0x00C, {0x4E}, 0, " - "},
    {13, 0x00D, {0x55}, 0, " = "},
    {15, 0x00E, {0x66}, 0, "Backspace"},
    {16, 0x00F, {0x0D}, 0, "Tab"},
    {17, 0x010, {0x15}, 0, " Q "},
    {18, 0x011, {0x1D}, 0, " W "},
    {19, 0x012, {0x24}, 0, " E "},
    {20, 0x013, {0x2D}, 0, " R "},
    {21, 0x014, {0x2C}, 0, " T "},
    {22, 0x015, {0x35}, 0, " Y (Z)"},
    {23, 0x016, {0x3C}, 0, " U "},
    {24, 0x017, {0x43}, 0, " I "},
    {25, 0x018, {0x44}, 0, " O "},
    {26, 0x019, {0x4D}, 0, " P "},
    {27, 0x01A, {0x54}, 0, " [ "},
    {28, 0x01B, {0x5B}, 0, " ] "},
    {29, 0x02B, {0x5D}, 0, " \\ "},
    {30, 0x03A, {0x58}, 0, "Caps_lock"},
    {31, 0x01E, {0x1C}, 0, " A "},
    {32, 0x01F, {0x1B}, 0, " S "},
    {33, 0x020, {0x23}, 0, " D "},
    {34, 0x021, {0x2B}, 0, " F "},
    {35, 0x022, {0x34}, 0, " G "},
    {36, 0x023, {0x33}, 0, " H "},
    {37, 0x024, {0x3B}, 0, " J "},
    {38, 0x025, {0x42}, 0, " K "},
    {39, 0x026, {0x4B}, 0, " L "},
    {40, 0x027, {0x4C}, 0, " ; "},
    {41, 0x028, {0x52}, 0, " ' "},
    {42, 0x02B, {0x5D}, 0, "Europe_1"},
    {43, 0x01C, {0x5A}, 0, "Enter"},
    {44, 0x02A, {0x12}, 0, "Left_shift"},
    {45, 0x056, {0x61}, 0, "Europe_2"},
    {46, 0x02C, {0x1A}, 0, " Z (Y)"},
    {47, 0x02D, {0x22}, 0, " X "},
    {48, 0x02E, {0x21}, 0, " C "},
    {49, 0x02F, {0x2A}, 0, " V "},
    {50, 0x030, {0x32}, 0, " B "},
    {51, 0x031, {0x31}, 0, " N "},
    {52, 0x032, {0x3A}, 0, " M "},
    {53, 0x033, {0x41}, 0, " , "},
    {54, 0x034, {0x49}, 0, " . "},
    {55, 0x035, {0x4A}, 0, " / "},
    {57, 0x136, {0x59}, 0, "Right_shift"},
    {57, 0x036, {0x59}, 0, "Right_shift"},
    {58, 0x01D, {0x14}, 0, "Left_Control"},
    {59, 0x15B, {0xE0, 0x1F}, 0, "Left_WinKey"},
    {60, 0x038, {0x11}, 0, "Left_Alt"},
    {61, 0x039, {0x29}, 0, "Space"},
    {62, 0x138, {0xE0, 0x11}, 0, "Right_Alt"},
    {63, 0x15C, {0xE0, 0x27}, 0, "Right_WinKey"},
    {64, 0x11D, {0xE0, 0x14}, 0, "Right_Control"},
    {65, 0x15D, {0xE0, 0x2F}, 0, "Menu_Key"},
    {75, 0x152, {0xE0, 0x70}, 0, "Insert"},
    {76, 0x153, {0xE0, 0x71}, 0, "Delete"},
    {79, 0x14B, {0xE0, 0x6B}, 0, "Left"},
    {80, 0x147, {0xE0, 0x6C}, 0, "Home"},
    {81, 0x14F, {0xE0, 0x69}, 0, "End"},
    {83, 0x148, {0xE0, 0x75}, 0, "Up"},
    {84, 0x150, {0xE0, 0x72}, 0, "Down"},
    {85, 0x149, {0xE0, 0x7D}, 0, "Page_up"},
    {86, 0x151, {0xE0, 0x7A}, 0, "Page_down"},
    {89, 0x14D, {0xE0, 0x74}, 0, "Right"},
    {90, 0x145, {0x77}, 0, "Num_Lock"},
    {91, 0x047, {0x6C}, 0, "NumPad_7"},
    {92, 0x04B, {0x6B}, 0, "NumPad_4"},
    {93, 0x04F, {0x69}, 0, "NumPad_1"},
    {95, 0x135, {0xE0, 0x4A}, 0, "NumPad_/"},
    {96, 0x048, {0x75}, 0, "NumPad_8"},
    {97, 0x04C, {0x73}, 0, "NumPad_5"},
    {98, 0x050, {0x72}, 0, "NumPad_2"},
    {99, 0x052, {0x70}, 0, "NumPad_0"},
    {100, 0x037, {0x7C}, 0, "NumPad_*"},
    {101, 0x049, {0x7D}, 0, "NumPad_9"},
    {102, 0x04D, {0x74}, 0, "NumPad_6"},
    {103, 0x051, {0x7A}, 0, "NumPad_3"},
    {104, 0x053, {0x71}, 0, "NumPad_."},
    {105, 0x04A, {0x7B}, 0, "NumPad_-"},
    {106, 0x04E, {0x79}, 0, "NumPad_+"},
    {108, 0x11C, {0xE0, 0x5A}, 0, "NumPad_Enter"},
    {110, 0x001, {0x76}, 0, "Esc"},
    {112, 0x03B, {0x05}, 0, " F1 "},
    {113, 0x03C, {0x06}, 0, " F2 "},
    {114, 0x03D, {0x04}, 0, " F3 "},
    {115, 0x03E, {0x0C}, 0, " F4 "},
    {116, 0x03F, {0x03}, 0, " F5 "},
    {117, 0x040, {0x0B}, 0, " F6 "},
    {118, 0x041, {0x83}, 0, " F7 "},
    {119, 0x042, {0x0A}, 0, " F8 "},
    {120, 0x043, {0x01}, 0, " F9 "},
    {121, 0x044, {0x09}, 0, " F10 "},
    {122, 0x057, {0x78}, 0, " F11 "},
    {123, 0x058, {0x07}, 0, " F12 "},
    {124, 0x000, {0xE0, 0x12, 0xE0, 0x7C}, 0, "Print_screen"},
    {124, 0x000, {0xE0, 0x7C}, 0, "Print_scr"},
    {124, 0x000, {0x84}, 0, "SysRq"},
    {125, 0x046, {0x7E}, 0, "Scroll_Lock"},
    {126, 0x000, {0xE1, 0x14, 0x77}, 0, "Pause"},
    {126, 0x000, {0xE0, 0x7E}, 0, "Break"},
    {255, 0x000, {0xE0, 0x37}, 0, "Power"},
    {255, 0x000, {0xE0, 0x3F}, 0, "Sleep"},
    {255, 0x000, {0xE0, 0x5E}, 0, "Wake"},
    {0, 0x000, {0xE0}, 0, "Extended"},
    {0, 0x000, {0xF0}, 0, "Release"},
    {0, 0x000, {0xE1}, 0, "Prefix"},
    {0, 0x000, {0xE1, 0x14}, 0, "Pref_Ctrl"},
    {0, 0x000, {0xE0, 0x12}, 0, "Ext_LShift"},
    {0, 0x000, {0xFC}, 0, "POST Fail"},
};

const UsbKeyEntry kUsbRows[kUsbRowCount] = {
    {1, 0x0029, 0x00070035, 0, " ` "},
    {2, 0x0002, 0x0007001E, 0, " 1 "},
    {3, 0x0003, 0x0007001F, 0, " 2 "},
    {4, 0x0004, 0x00070020, 0, " 3 "},
    {5, 0x0005, 0x00070021, 0, " 4 "},
    {6, 0x0006, 0x00070022, 0, " 5 "},
    {7, 0x0007, 0x00070023, 0, " 6 "},
    {8, 0x0008, 0x00070024, 0, " 7 "},
    {9, 0x0009, 0x00070025, 0, " 8 "},
    {10, 0x000A, 0x00070026, 0, " 9 "},
    {11, 0x000B, 0x00070027, 0, " 0 "},
    {12, 0x000C, 0x0007002D, 0, " - "},
    {13, 0x000D, 0x0007002E, 0, " = "},
    {15, 0x000E, 0x0007002A, 0, "Backspace"},
    {16, 0x000F, 0x0007002B, 0, "Tab"},
    {17, 0x0010, 0x00070014, 0, " Q "},
    {18, 0x0011, 0x0007001A, 0, " W "},
    {19, 0x0012, 0x00070008, 0, " E "},
    {20, 0x0013, 0x00070015, 0, " R "},
    {21, 0x0014, 0x00070017, 0, " T "},
    {22, 0x0015, 0x0007001C, 0, " Y (Z)"},
    {23, 0x0016, 0x00070018, 0, " U "},
    {24, 0x0017, 0x0007000C, 0, " I "},
    {25, 0x0018, 0x00070012, 0, " O "},
    {26, 0x0019, 0x00070013, 0, " P "},
    {27, 0x001A, 0x0007002F, 0, " [ "},
    {28, 0x001B, 0x00070030, 0, " ] "},
    {29, 0x002B, 0x00070031, 0, " \\ "},
    {30, 0x003A, 0x00070039, 0, "Caps_lock"},
    {31, 0x001E, 0x00070004, 0, " A "},
    {32, 0x001F, 0x00070016, 0, " S "},
    {33, 0x0020, 0x00070007, 0, " D "},
    {34, 0x0021, 0x00070009, 0, " F "},
    {35, 0x0022, 0x0007000A, 0, " G "},
    {36, 0x0023, 0x0007000B, 0, " H "},
    {37, 0x0024, 0x0007000D, 0, " J "},
    {38, 0x0025, 0x0007000E, 0, " K "},
    {39, 0x0026, 0x0007000F, 0, " L "},
    {40, 0x0027, 0x00070033, 0, " ; "},
    {41, 0x0028, 0x00070034, 0, " ' "},
    {42, 0x002B, 0x00070032, 0, "Europe_1"},
    {43, 0x001C, 0x00070028, 0, "Enter"},
    {44, 0x002A, 0x000700E1, 0, "Left_shift"},
    {44, 0x802A, 0x000700F1, 0, "Release_Left_shift"},
    {45, 0x0056, 0x00070064, 0, "Europe_2"},
    {46, 0x002C, 0x0007001D, 0, " Z (Y)"},
    {47, 0x002D, 0x0007001B, 0, " X "},
    {48, 0x002E, 0x00070006, 0, " C "},
    {49, 0x002F, 0x00070019, 0, " V "},
    {50, 0x0030, 0x00070005, 0, " B "},
    {51, 0x0031, 0x00070011, 0, " N "},
    {52, 0x0032, 0x00070010, 0, " M "},
    {53, 0x0033, 0x00070036, 0, " , "},
    {54, 0x0034, 0x00070037, 0, " . "},
    {55, 0x0035, 0x00070038, 0, " / "},
    {57, 0x0136, 0x000700E5, 0, "Right_shift"},
    {57, 0x8136, 0x000700F5, 0, "Release_Right_shift"},
    {57, 0x0036, 0x000700E5, 0, "Right_shift"},
    {57, 0x8036, 0x000700F5, 0, "Release_Right_shift"},
    {58, 0x001D, 0x000700E0, 0, "Left_Control"},
    {58, 0x801D, 0x000700F0, 0, "Release_Left_Control"},
    {59, 0x015B, 0x000700E3, 0, "Left_WinKey"},
    {59, 0x815B, 0x000700F3, 0, "Release_Left_WinKey"},
    {60, 0x0038, 0x000700E2, 0, "Left_Alt"},
    {60, 0x8038, 0x000700F2, 0, "Release_Left_Alt"},
    {61, 0x0039, 0x0007002C, 0, "Space"},
    {62, 0x0138, 0x000700E6, 0, "Right_Alt"},
    {62, 0x8138, 0x000700F6, 0, "Release_Right_Alt"},
    {63, 0x015C, 0x000700E7, 0, "Right_WinKey"},
    {63, 0x815C, 0x000700F7, 0, "Release_Right_WinKey"},
    {64, 0x011D, 0x000700E4, 0, "Right_Control"},
    {64, 0x811D, 0x000700F4, 0, "Release_Right_Control"},
    {65, 0x015D, 0x00070065, 0, "Menu_Key"},
    {75, 0x0152, 0x00070049, 0, "Insert"},
    {76, 0x0153, 0x0007004C, 0, "Delete"},
    {79, 0x014B, 0x00070050, 0, "Left"},
    {80, 0x0147, 0x0007004A, 0, "Home"},
    {81, 0x014F, 0x0007004D, 0, "End"},
    {83, 0x0148, 0x00070052, 0, "Up"},
    {84, 0x0150, 0x00070051, 0, "Down"},
    {85, 0x0149, 0x0007004B, 0, "Page_up"},
    {86, 0x0151, 0x0007004E, 0, "Page_down"},
    {89, 0x014D, 0x0007004F, 0, "Right"},
    {90, 0x0145, 0x00070053, 0, "Num_Lock"},
    {91, 0x0047, 0x0007005F, 0, "NumPad_7"},
    {92, 0x004B, 0x0007005C, 0, "NumPad_4"},
    {93, 0x004F, 0x00070059, 0, "NumPad_1"},
    {95, 0x0135, 0x00070054, 0, "NumPad_/"},
    {96, 0x0048, 0x00070060, 0, "NumPad_8"},
    {97, 0x004C, 0x0007005D, 0, "NumPad_5"},
    {98, 0x0050, 0x0007005A, 0, "NumPad_2"},
    {99, 0x0052, 0x00070062, 0, "NumPad_0"},
    {100, 0x0037, 0x00070055, 0, "NumPad_*"},
    {101, 0x0049, 0x00070061, 0, "NumPad_9"},
    {102, 0x004D, 0x0007005E, 0, "NumPad_6"},
    {103, 0x0051, 0x0007005B, 0, "NumPad_3"},
    {104, 0x0053, 0x00070063, 0, "NumPad_."},
    {105, 0x004A, 0x00070056, 0, "NumPad_-"},
    {106, 0x004E, 0x00070057, 0, "NumPad_+"},
    {108, 0x011C, 0x00070058, 0, "NumPad_Enter"},
    {110, 0x0001, 0x00070029, 0, "Esc"},
    {112, 0x003B, 0x0007003A, 0, " F1 "},
    {113, 0x003C, 0x0007003B, 0, " F2 "},
    {114, 0x003D, 0x0007003C, 0, " F3 "},
    {115, 0x003E, 0x0007003D, 0, " F4 "},
    {116, 0x003F, 0x0007003E, 0, " F5 "},
    {117, 0x0040, 0x0007003F, 0, " F6 "},
    {118, 0x0041, 0x00070040, 0, " F7 "},
    {119, 0x0042, 0x00070041, 0, " F8 "},
    {120, 0x0043, 0x00070042, 0, " F9 "},
    {121, 0x0044, 0x00070043, 0, " F10 "},
    {122, 0x0057, 0x00070044, 0, " F11 "},
    {123, 0x0058, 0x00070045, 0, " F12 "},
    {124, 0x0137, 0x00070046, 0, "Print_screen"},
    {124, 0x0054, 0x00070046, 0, "SysRq"},
    {125, 0x0046, 0x00070047, 0, "Scroll_Lock"},
    {126, 0x0045, 0x00070048, 0, "Pause"},
    {126, 0x0146, 0x00070048, 0, "Break"},
    {255, 0x0000, 0x00010081, 0, "Power"},
    {255, 0x0000, 0x00070066, 0, "Power"},
    {255, 0x0000, 0x00010082, 0, "Sleep"},
    {255, 0x0000, 0x00010083, 0, "Wake"},
    {255, 0x0000, 0x00070067, 0, "NumPad_="},
    {255, 0x0000, 0x00070068, 0, " F13 "},
    {255, 0x0000, 0x00070069, 0, " F14 "},
    {255, 0x0000, 0x0007006A, 0, " F15 "},
    {255, 0x0000, 0x0007006B, 0, " F16 "},
    {255, 0x0000, 0x0007006C, 0, " F17 "},
    {255, 0x0000, 0x0007006D, 0, " F18 "},
    {255, 0x0000, 0x0007006E, 0, " F19 "},
    {255, 0x0000, 0x0007006F, 0, " F20 "},
    {255, 0x0000, 0x00070070, 0, " F21 "},
    {255, 0x0000, 0x00070071, 0, " F22 "},
    {255, 0x0000, 0x00070072, 0, " F23 "},
    {255, 0x0000, 0x00070073, 0, " F24 "},
};

std::string RowName(uint32_t nameId, const char* nameText)
{
    return nameId != 0 ? LoadText(nameId) : std::string(nameText);
}

} // namespace

const LegacyKeyEntry* GetLegacyRow(int row)
{
    return (row >= 1 && row <= kLegacyRowCount) ? &kLegacyRows[row - 1] : nullptr;
}

const UsbKeyEntry* GetUsbRow(int row)
{
    return (row >= 1 && row <= kUsbRowCount) ? &kUsbRows[row - 1] : nullptr;
}

namespace LegacyKeyTable {

int FindRowBySet1(uint32_t code)
{
    const uint32_t wanted = code & 0x81FF;
    for (int row = 1; row <= kLegacyRowCount; ++row) {
        if (kLegacyRows[row - 1].set1 == wanted) {
            return row;
        }
    }
    return 0;
}

uint8_t GetSet2Length(int row)
{
    if (row == 0) {
        uint8_t largest = 0;
        for (int other = 1; other <= kLegacyRowCount; ++other) {
            largest = std::max(largest, GetSet2Length(other));
        }
        return largest;
    }
    const LegacyKeyEntry* entry = GetLegacyRow(row);
    if (entry == nullptr) {
        return 0;
    }
    return static_cast<uint8_t>(strnlen(reinterpret_cast<const char*>(entry->set2), sizeof entry->set2));
}

std::string GetRowName(int row)
{
    const LegacyKeyEntry* entry = GetLegacyRow(row);
    return entry != nullptr ? RowName(entry->nameId, entry->nameText) : std::string();
}

} // namespace LegacyKeyTable

namespace UsbKeyTable {

int FindRowBySet1(uint32_t code)
{
    const uint32_t wanted = code & 0x81FF;
    for (int row = 1; row <= kUsbRowCount; ++row) {
        if (kUsbRows[row - 1].set1 == wanted) {
            return row;
        }
    }
    return 0;
}

int FindRowByUsage(uint32_t usage)
{
    for (int row = 1; row <= kUsbRowCount; ++row) {
        if (kUsbRows[row - 1].usage == usage) {
            return row;
        }
    }
    return 0;
}

std::string GetRowName(int row)
{
    const UsbKeyEntry* entry = GetUsbRow(row);
    return entry != nullptr ? RowName(entry->nameId, entry->nameText) : std::string();
}

bool IsModifierUsage(uint32_t usage)
{
    return usage >= 0x000700E0 && usage <= 0x000700E7;
}

bool IsModifierSet1(uint32_t code)
{
    const UsbKeyEntry* entry = GetUsbRow(FindRowBySet1(code));
    return entry != nullptr && IsModifierUsage(entry->usage);
}

} // namespace UsbKeyTable
