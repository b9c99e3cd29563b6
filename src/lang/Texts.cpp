#include "lang/Texts.h"

#include "lang/BuiltinStrings.h"
#include "lang/LanguageTable.h"

#include <utility>

namespace {

// The process-wide texts: the one global state of this module, set up once at start.
LanguageTable& ProcessLanguageTable()
{
    static LanguageTable table;
    return table;
}

std::map<uint32_t, std::string>& ResourceStrings()
{
    static std::map<uint32_t, std::string> strings;
    return strings;
}

} // namespace

bool LoadLanguageFileForProgram(const std::string& programPath)
{
    const std::string path = GetLanguageFileName(programPath);
    if (path.empty()) {
        ProcessLanguageTable().Clear();
        return false;
    }
    return ProcessLanguageTable().ReadFile(path);
}

bool LoadLanguageFile(const std::string& path)
{
    return ProcessLanguageTable().ReadFile(path);
}

void ClearLanguageTable()
{
    ProcessLanguageTable().Clear();
}

void InstallResourceStrings(std::map<uint32_t, std::string> strings)
{
    ResourceStrings() = std::move(strings);
}

bool FindLanguageText(uint32_t id, std::string& text)
{
    return ProcessLanguageTable().Find(id, text);
}

std::string LoadText(uint32_t id)
{
    std::string text;
    if (FindLanguageText(id, text)) {
        return text;
    }
    const auto& resources = ResourceStrings();
    if (const auto found = resources.find(id); found != resources.end()) {
        return found->second;
    }
    if (FindBuiltinString(id, text)) {
        return text;
    }
    return {};
}

std::string LoadTextWithArgument(uint32_t id, const std::string& argument)
{
    return ReplaceFirst(LoadText(id), "%s", argument);
}

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

std::string TrimBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}
