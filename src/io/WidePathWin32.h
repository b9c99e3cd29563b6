// UTF-8 names to and from the UTF-16 the wide Win32 calls take.
#pragma once

#include <string>

// False for text that is not valid UTF-8 or holds a NUL.
bool Utf8ToWide(const std::string& text, std::wstring& wide);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(const std::wstring& wide);
