#include "io/WidePathWin32.h"

#include <climits>
#include <windows.h>

bool Utf8ToWide(const std::string& text, std::wstring& wide)
{
    wide.clear();
    if (text.empty()) {
        return true;
    }
    if (text.find('\0') != std::string::npos || text.size() > INT_MAX) {
        return false;
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wide.resize(static_cast<size_t>(length));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length) ==
           length;
}

std::string WideToUtf8(const std::wstring& wide)
{
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length), '\0');
    if (::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr) !=
        length) {
        return {};
    }
    return text;
}
