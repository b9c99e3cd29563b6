// Text lookup by string id: the language table first, then the resource strings, then the
// built-in string table.
#pragma once

#include <cstdint>
#include <map>
#include <string>

// The language table, then the installed resource strings, then the built-in table; empty when
// none holds the id.
std::string LoadText(uint32_t id);
// Only the language table; the text is left unchanged when the id has no entry.
bool FindLanguageText(uint32_t id, std::string& text);
std::string LoadTextWithArgument(uint32_t id, const std::string& argument);

// Start-up: reads the language file beside the program (see GetLanguageFileName). False when
// there is none; lookups then use the resource and built-in strings.
bool LoadLanguageFileForProgram(const std::string& programPath);
// Replaces the process-wide language table by the entries of the given file.
bool LoadLanguageFile(const std::string& path);
void ClearLanguageTable();

// The translated resource strings, consulted after the language table and before the built-in
// table. An empty map removes them.
void InstallResourceStrings(std::map<uint32_t, std::string> strings);
