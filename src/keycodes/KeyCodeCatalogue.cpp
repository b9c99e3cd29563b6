#include "keycodes/KeyCodeCatalogue.h"

#include "app/Numbers.h"
#include "keycodes/KeyCodeText.h"
#include "keycodes/KeyTables.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint32_t kKeyboardUsagePage = 0x0007;

// Words users look for that the table's names lack.
struct ExtraWords
{
    const char* name;
    const char* words;
};
const ExtraWords kExtraWords[] = {
    {"Esc", "escape"},
    {"Enter", "return"},
    {"Backspace", "bksp"},
    {"Space", "spacebar"},
    {"Caps_lock", "capslock"},
    {"Left_Control", "ctrl lctrl"},
    {"Right_Control", "ctrl rctrl"},
    {"Left_Alt", "lalt"},
    {"Right_Alt", "altgr ralt"},
    {"Left_WinKey", "windows super meta gui"},
    {"Right_WinKey", "windows super meta gui"},
    {"Menu_Key", "application context"},
    {"Insert", "ins"},
    {"Delete", "del"},
    {"Page_up", "pgup prior"},
    {"Page_down", "pgdn next"},
    {"Left", "arrow"},
    {"Right", "arrow"},
    {"Up", "arrow"},
    {"Down", "arrow"},
    {"Print_screen", "prtsc"},
    {"Print_scr", "prtsc"},
    {"Europe_1", "iso non-us hash"},
    {"Europe_2", "iso non-us backslash 102nd"},
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), ToLowerAscii);
    return text;
}

// Blanks and underscores alike, any case: "page up" finds Page_up.
std::string SearchForm(const std::string& text)
{
    std::string form = Lower(TrimBlanks(text));
    std::replace(form.begin(), form.end(), '_', ' ');
    return form;
}

KeyCodeGroup GroupOfUsage(uint32_t usage)
{
    const uint32_t page = usage >> 16;
    const uint32_t id = usage & 0xFFFF;
    if (page != kKeyboardUsagePage) {
        return KeyCodeGroup::System;
    }
    if (id >= 0xE0) {
        return KeyCodeGroup::Modifiers;
    }
    if (id == 0x39) {
        return KeyCodeGroup::Modifiers; // Caps Lock
    }
    if ((id >= 0x3A && id <= 0x45) || (id >= 0x68 && id <= 0x73)) {
        return KeyCodeGroup::Function;
    }
    if (id >= 0x49 && id <= 0x52) {
        return KeyCodeGroup::Navigation;
    }
    if ((id >= 0x53 && id <= 0x63) || id == 0x67) {
        return KeyCodeGroup::Keypad;
    }
    if (id == 0x32 || id == 0x64) {
        return KeyCodeGroup::International;
    }
    if (id == 0x29 || (id >= 0x46 && id <= 0x48) || id == 0x65 || id == 0x66) {
        return KeyCodeGroup::System;
    }
    return KeyCodeGroup::Typing;
}

std::string ExtraWordsOf(const std::string& name)
{
    for (const ExtraWords& extra : kExtraWords) {
        if (name == extra.name) {
            return extra.words;
        }
    }
    return std::string();
}

void AddAlias(KeyCodeEntry& entry, const std::string& alias)
{
    if (alias.empty() || alias == entry.name) {
        return;
    }
    entry.aliases += (entry.aliases.empty() ? "" : " ") + alias;
}

std::vector<KeyCodeEntry> BuildUsbCatalogue()
{
    std::vector<KeyCodeEntry> entries;
    for (int row = 1; row <= kUsbRowCount; ++row) {
        const UsbKeyEntry* source = GetUsbRow(row);
        const std::string name = TrimBlanks(UsbKeyTable::GetRowName(row));
        auto same = std::find_if(entries.begin(), entries.end(), [source](const KeyCodeEntry& entry) {
            return entry.codes[0] == source->usage;
        });
        if (same != entries.end()) {
            AddAlias(*same, name);
            continue;
        }
        KeyCodeEntry entry;
        entry.group = GroupOfUsage(source->usage);
        entry.row = row;
        entry.caption = GetUsbCaption(source->usage);
        entry.name = name;
        AddAlias(entry, ExtraWordsOf(name));
        entry.codes = {source->usage};
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Legacy rows share their names with the USB rows; the few of their own are no keys.
KeyCodeGroup GroupOfLegacyRow(const std::string& name)
{
    for (int row = 1; row <= kUsbRowCount; ++row) {
        if (TrimBlanks(UsbKeyTable::GetRowName(row)) == name) {
            return GroupOfUsage(GetUsbRow(row)->usage);
        }
    }
    return name == "Print_scr" ? KeyCodeGroup::System : KeyCodeGroup::Prefixes;
}

std::vector<KeyCodeEntry> BuildLegacyCatalogue()
{
    std::vector<KeyCodeEntry> entries;
    for (int row = 1; row <= kLegacyRowCount; ++row) {
        const LegacyKeyEntry* source = GetLegacyRow(row);
        std::vector<uint32_t> bytes(source->set2, source->set2 + LegacyKeyTable::GetSet2Length(row));
        const std::string name = TrimBlanks(LegacyKeyTable::GetRowName(row));
        auto same = std::find_if(entries.begin(), entries.end(),
                                 [&bytes](const KeyCodeEntry& entry) { return entry.codes == bytes; });
        if (same != entries.end()) {
            AddAlias(*same, name);
            continue;
        }
        KeyCodeEntry entry;
        entry.group = GroupOfLegacyRow(name);
        entry.row = row;
        entry.caption =
            GetLegacyCaption(bytes.data(), static_cast<int>(bytes.size()), static_cast<int>(bytes.size()));
        entry.name = name;
        AddAlias(entry, ExtraWordsOf(name));
        entry.codes = std::move(bytes);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<KeyCodeEntry> InGroupOrder(std::vector<KeyCodeEntry> entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const KeyCodeEntry& a, const KeyCodeEntry& b) { return a.group < b.group; });
    return entries;
}

bool ParseHexNumber(const std::string& digits, uint32_t& value)
{
    return ParseU32("0x" + digits, value, 0xFFFF) == ParseOk;
}

bool MatchesNumber(const KeyCodeEntry& entry, KeyCodeFamily family, const std::string& text)
{
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
        uint32_t page = 0;
        uint32_t id = 0;
        return family == KeyCodeFamily::Usb && ParseHexNumber(text.substr(0, colon), page) &&
               ParseHexNumber(text.substr(colon + 1), id) && entry.codes[0] == ((page << 16) | id);
    }
    uint32_t number = 0;
    if (ParseU32(text, number, 0xFFFF) != ParseOk) {
        return false;
    }
    if (family == KeyCodeFamily::Usb) {
        return (entry.codes[0] & 0xFFFF) == number;
    }
    return std::find(entry.codes.begin(), entry.codes.end(), number) != entry.codes.end();
}

} // namespace

const std::vector<KeyCodeEntry>& GetKeyCodeCatalogue(KeyCodeFamily family)
{
    // The names come from the built-in table rows, which no language file changes.
    static const std::vector<KeyCodeEntry> legacy = InGroupOrder(BuildLegacyCatalogue());
    static const std::vector<KeyCodeEntry> usb = InGroupOrder(BuildUsbCatalogue());
    return family == KeyCodeFamily::Legacy ? legacy : usb;
}

std::string FormatKeyCodeNumber(const KeyCodeEntry& entry, KeyCodeFamily family)
{
    char buffer[16];
    if (family == KeyCodeFamily::Usb) {
        std::snprintf(buffer, sizeof buffer, "%X:%02X", entry.codes[0] >> 16, entry.codes[0] & 0xFFFF);
        return buffer;
    }
    std::string text;
    for (const uint32_t byte : entry.codes) {
        std::snprintf(buffer, sizeof buffer, "%02X", byte & 0xFF);
        text += (text.empty() ? "" : " ") + std::string(buffer);
    }
    return text;
}

bool MatchesKeyCodeSearch(const KeyCodeEntry& entry, KeyCodeFamily family, const std::string& text)
{
    const std::string wanted = SearchForm(text);
    if (wanted.empty()) {
        return true;
    }
    if (SearchForm(entry.name).find(wanted) != std::string::npos ||
        SearchForm(entry.aliases).find(wanted) != std::string::npos) {
        return true;
    }
    return MatchesNumber(entry, family, wanted);
}

bool IsKeyCodeNamed(const KeyCodeEntry& entry, KeyCodeFamily family, const std::string& text)
{
    const std::string wanted = SearchForm(text);
    if (wanted.empty()) {
        return false;
    }
    if (SearchForm(entry.name) == wanted || MatchesNumber(entry, family, wanted)) {
        return true;
    }
    const std::string aliases = " " + SearchForm(entry.aliases) + " ";
    return aliases.find(" " + wanted + " ") != std::string::npos;
}

std::string GetKeyCodeGroupName(KeyCodeGroup group)
{
    return LoadText(IDS_CODE_GROUP_TYPING + static_cast<uint32_t>(group));
}

const char* GetKeyCodeGroupKey(KeyCodeGroup group)
{
    static const char* const kKeys[kKeyCodeGroupCount] = {
        "typing", "function", "navigation", "keypad", "modifiers", "system", "international", "prefixes"};
    return kKeys[static_cast<int>(group)];
}
