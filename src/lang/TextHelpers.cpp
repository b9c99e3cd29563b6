#include "lang/TextHelpers.h"

#include <algorithm>

std::string ReplaceFirst(const std::string& text, const std::string& pattern, const std::string& replacement)
{
    if (pattern.empty()) {
        return text;
    }
    const size_t position = text.find(pattern);
    if (position == std::string::npos) {
        return text;
    }
    std::string result = text;
    result.replace(position, pattern.size(), replacement);
    return result;
}

std::string ReplaceFirstNumber(const std::string& text, int32_t number, const std::string& pattern)
{
    return ReplaceFirst(text, pattern, std::to_string(number));
}

bool SplitAt(std::string& line, std::string& head, char separator)
{
    const size_t position = line.find(separator);
    if (position == std::string::npos) {
        head = line;
        line.clear();
        return true;
    }
    head = line.substr(0, position);
    line.erase(0, position + 1);
    return true;
}

std::string Trim(const std::string& text, const char* characters)
{
    const size_t first = text.find_first_not_of(characters);
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

std::string TrimLeading(const std::string& text, const char* characters)
{
    const size_t first = text.find_first_not_of(characters);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string TrimTrailing(const std::string& text, const char* characters)
{
    const size_t last = text.find_last_not_of(characters);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string TrimBlanks(const std::string& text)
{
    return Trim(text, kBlank);
}

char ToLowerAscii(char character)
{
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (ToLowerAscii(text[i]) != ToLowerAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool LessIgnoringCase(const std::string& text, const std::string& other)
{
    const auto folded = [](char character) { return static_cast<unsigned char>(ToLowerAscii(character)); };
    return std::lexicographical_compare(text.begin(), text.end(), other.begin(), other.end(),
                                        [&folded](char a, char b) { return folded(a) < folded(b); });
}

bool EqualsIgnoringCase(const std::string& text, const std::string& other)
{
    return text.size() == other.size() && StartsWithIgnoringCase(text, other);
}
