// Every code of a family's key table, grouped the way a user looks for keys, and the search over
// names, aliases and numbers that the code palette and zqtool share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class KeyCodeFamily : uint8_t {
    Legacy, // ZQ-1100: set-2 byte sequences
    Usb,    // ZQ-2200 and ZQ-3300: HID usages
};

enum class KeyCodeGroup : uint8_t {
    Typing, // letters, digits, signs and the keys around them
    Function,
    Navigation,
    Keypad,
    Modifiers,
    System,
    International,
    Prefixes, // ZQ-1100 only: bytes that build sequences, no keys
};
constexpr int kKeyCodeGroupCount = 8;

// One distinct code: rows that give the same code (SysRq and Print_screen on USB) are one
// entry, the first row's name first and the others among the aliases.
struct KeyCodeEntry
{
    KeyCodeGroup group = KeyCodeGroup::Typing;
    int row = 0;         // the family's table row capture would use
    std::string caption; // as the code fields show the code
    std::string name;    // the row's name without its framing blanks
    std::string aliases; // other names and words it is known by, blank-separated
    // Legacy: the set-2 make bytes; USB: the one usage (page << 16 | id).
    std::vector<uint32_t> codes;
};

// Table order within each group, the groups in their enum order.
const std::vector<KeyCodeEntry>& GetKeyCodeCatalogue(KeyCodeFamily family);

// The code as a number text: legacy bytes "E0 7C", USB usages "7:68".
std::string FormatKeyCodeNumber(const KeyCodeEntry& entry, KeyCodeFamily family);

// Any letter case. A text finds an entry when it is part of its name or an alias (blanks and
// underscores alike), or when it is a number the entry sends: "0x68" or "104" (a usage id, a
// legacy byte) or "7:68" (a USB page and id in hexadecimal). An empty text finds every entry.
bool MatchesKeyCodeSearch(const KeyCodeEntry& entry, KeyCodeFamily family, const std::string& text);

// Stricter, for naming one code: the whole name or one alias word (any case), or a number as
// MatchesKeyCodeSearch takes it.
bool IsKeyCodeNamed(const KeyCodeEntry& entry, KeyCodeFamily family, const std::string& text);

// The group's title through the string table.
std::string GetKeyCodeGroupName(KeyCodeGroup group);
// A stable lower-case word for scripts: "typing", "function", ...
const char* GetKeyCodeGroupKey(KeyCodeGroup group);
