// The program's own string table: the texts shown when neither a language file nor a translated
// resource table replaces them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct BuiltinString
{
    uint32_t id;
    std::string_view text;
};

// Sorted by ascending id, each id once.
std::span<const BuiltinString> GetBuiltinStrings();

// False and the text unchanged for an id the table does not hold.
bool FindBuiltinString(uint32_t id, std::string& text);
