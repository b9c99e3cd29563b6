// The two constant tables of known keys and their lookups. Rows count from 1; row 0 is no row.
#pragma once

#include <cstdint>
#include <string>

struct LegacyKeyEntry
{
    uint16_t keyNumber; // carried as data only
    uint16_t set1;      // 0x100 marks an E0-prefixed code; 0 when the key has none
    uint8_t set2[5];    // zero-terminated set-2 make sequence, 1 to 4 bytes
    uint32_t nameId;    // 0: use nameText
    const char* nameText;
};

struct UsbKeyEntry
{
    uint16_t keyNumber;
    uint16_t set1;  // 0x100 E0 prefix, 0x8000 release row
    uint32_t usage; // page << 16 | id
    uint32_t nameId;
    const char* nameText;
};

constexpr int kLegacyRowCount = 119;
constexpr int kUsbRowCount = 135;

// nullptr outside 1..count.
const LegacyKeyEntry* GetLegacyRow(int row);
const UsbKeyEntry* GetUsbRow(int row);

namespace LegacyKeyTable {
int FindRowBySet1(uint32_t code); // matches code & 0x81FF, first row wins
uint8_t GetSet2Length(int row);   // row 0: the largest length (4)
std::string GetRowName(int row);
} // namespace LegacyKeyTable

namespace UsbKeyTable {
int FindRowBySet1(uint32_t code);
int FindRowByUsage(uint32_t usage);
std::string GetRowName(int row);
bool IsModifierUsage(uint32_t usage);
bool IsModifierSet1(uint32_t code);
} // namespace UsbKeyTable
