#include "lang/Texts.h"

#include "lang/BuiltinStrings.h"
#include "lang/LanguageTable.h"
#include "lang/TextHelpers.h"

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
