#include "lang/Translations.h"

#include "app/Numbers.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr const char* kExtension = ".lang";
// The built-in texts are English: asking for it installs no table.
constexpr const char* kBuiltinLanguage = "en";

std::string Unescape(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (text[at] == '\\' && (next == 't' || next == 'r' || next == 'n')) {
            result += next == 't' ? '\t' : (next == 'r' ? '\r' : '\n');
            ++at;
        } else {
            result += text[at];
        }
    }
    return result;
}

std::string FindTable(const std::vector<std::string>& folders, const std::string& language)
{
    for (const std::string& folder : folders) {
        std::string path = folder + "/" + language + kExtension;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            return path;
        }
    }
    return std::string();
}

} // namespace

std::vector<std::string> GetLanguageCandidates(const std::string& locale)
{
    const std::string name = locale.substr(0, locale.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") {
        return {};
    }
    std::vector<std::string> candidates{name};
    const size_t country = name.find_first_of("_-");
    if (country != std::string::npos && country > 0) {
        candidates.push_back(name.substr(0, country));
    }
    return candidates;
}

std::string GetEnvironmentLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
#ifdef _WIN32
    // Windows keeps the user's language in the locale settings, as "de-DE".
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const int length = GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    std::string locale;
    for (int i = 0; i + 1 < length && name[i] < 0x80; ++i) {
        locale += static_cast<char>(name[i]);
    }
    return locale;
#else
    return std::string();
#endif
}

std::vector<std::string> GetTranslationFolders(const std::string& programFolder)
{
    return {programFolder + "/translations", programFolder + "/../share/zq-programmer/translations"};
}

std::vector<std::string> ListTranslations(const std::vector<std::string>& folders)
{
    std::vector<std::string> languages;
    for (const std::string& folder : folders) {
        std::error_code error;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const std::filesystem::path& path = it->path();
            if (path.extension() == kExtension && it->is_regular_file(error)) {
                languages.push_back(path.stem().string());
            }
        }
    }
    std::sort(languages.begin(), languages.end());
    languages.erase(std::unique(languages.begin(), languages.end()), languages.end());
    return languages;
}

bool ReadTranslationTable(const std::string& path, std::map<uint32_t, std::string>& table)
{
    table.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::string head;
        if (line.find('=') == std::string::npos || !SplitAt(line, head, '=')) {
            continue;
        }
        uint32_t id = 0;
        if (ParseU32(head.c_str(), id, std::numeric_limits<uint32_t>::max()) != ParseOk || id == 0) {
            continue;
        }
        // The first entry of an id wins, as in a language file.
        table.emplace(id, Unescape(line));
    }
    return true;
}

std::string InstallTranslation(const std::vector<std::string>& folders, const std::string& wanted,
                               const std::string& locale)
{
    std::vector<std::string> candidates = GetLanguageCandidates(wanted);
    for (const std::string& language : GetLanguageCandidates(locale)) {
        candidates.push_back(language);
    }
    for (const std::string& language : candidates) {
        if (language == kBuiltinLanguage) {
            break;
        }
        std::map<uint32_t, std::string> table;
        const std::string path = FindTable(folders, language);
        if (!path.empty() && ReadTranslationTable(path, table)) {
            InstallResourceStrings(std::move(table));
            return language;
        }
    }
    InstallResourceStrings({});
    return std::string();
}
