// Text lookup by string id (language table first, then the string table) and small text helpers.
#pragma once

#include <cstdint>
#include <string>

std::string LoadText(uint32_t id);
bool FindLanguageText(uint32_t id, std::string& text);
std::string LoadTextWithArgument(uint32_t id, const std::string& argument);
std::string ReplaceFirst(const std::string& text, const std::string& pattern, const std::string& replacement);
std::string ReplaceFirstNumber(const std::string& text, int32_t number, const std::string& pattern);
bool SplitAt(std::string& line, std::string& head, char separator);
std::string TrimBlanks(const std::string& text);
