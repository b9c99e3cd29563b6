// Byte-string helpers shared by every module: replacing, splitting, trimming, and comparing
// without letter case. Only ASCII letters fold, so no byte of a multi-byte character ever
// matches another.
#pragma once

#include <cstdint>
#include <string>

std::string ReplaceFirst(const std::string& text, const std::string& pattern, const std::string& replacement);
std::string ReplaceFirstNumber(const std::string& text, int32_t number, const std::string& pattern);
// Always true. head is the line before the first separator, and the line keeps what follows it;
// without a separator head is the whole line and the line becomes empty.
bool SplitAt(std::string& line, std::string& head, char separator);

// The blank only, not tabs.
constexpr const char* kBlank = " ";
// What isspace answers true for in the "C" locale.
constexpr const char* kWhiteSpace = " \t\r\n\v\f";
// The text without the given characters at its ends.
std::string Trim(const std::string& text, const char* characters);
std::string TrimLeading(const std::string& text, const char* characters);
std::string TrimTrailing(const std::string& text, const char* characters);
std::string TrimBlanks(const std::string& text);

char ToLowerAscii(char character);
bool EqualsIgnoringCase(const std::string& text, const std::string& other);
bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix);
// Byte order (bytes as unsigned) after folding, for sorting names.
bool LessIgnoringCase(const std::string& text, const std::string& other);

// Project texts are byte strings: UTF-8 when valid, Windows-1252 otherwise.
bool IsValidUtf8(const std::string& bytes);
// At most maxBytes of the text, cut between two characters when the text is UTF-8.
std::string CutText(const std::string& text, size_t maxBytes);
// For a line on a terminal: tab, line feed and carriage return as \t, \n, \r, other control
// characters (C0, DEL, C1) and bytes that are no part of valid UTF-8 as \xNN or \uNNNN.
std::string EscapeControlCharacters(const std::string& text);
// The Unicode character of a Windows-1252 byte (0x80 to 0x9F differ from Latin-1).
char16_t Cp1252ToUnicode(uint8_t byte);
// The text as UTF-8: itself when valid, else read as Windows-1252.
std::string ProjectTextToUtf8(const std::string& bytes);
