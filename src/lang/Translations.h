// Translated string tables: one UTF-8 file per language ("de.lang", "pt_BR.lang") of "id=text"
// lines as in a language file, every "\t", "\r" and "\n" an escape; lines whose id does not parse
// ("#" comments among them) are skipped. Installed in place of the built-in texts at start-up; a
// language file still wins over them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// "de_DE.UTF-8@euro" gives "de_DE" then "de"; "C", "POSIX" and "" give none.
std::vector<std::string> GetLanguageCandidates(const std::string& locale);
// The locale the environment asks messages in: LC_ALL, then LC_MESSAGES, then LANG; on Windows
// without them, the user's locale.
std::string GetEnvironmentLocale();
// Where a program finds its tables: "translations" beside it, then the installed share folder.
std::vector<std::string> GetTranslationFolders(const std::string& programFolder);
// The language codes of the tables in the folders, sorted, each once.
std::vector<std::string> ListTranslations(const std::vector<std::string>& folders);
// False when the file cannot be read; the table then stays empty.
bool ReadTranslationTable(const std::string& path, std::map<uint32_t, std::string>& table);
// Installs the table of the first language that a folder holds: those of wanted (a code such as
// "de", from ZQ_LANGUAGE or the user's choice) before those of the locale. "en" or none found keeps
// the built-in texts. Returns the code installed, empty for the built-in texts.
std::string InstallTranslation(const std::vector<std::string>& folders, const std::string& wanted,
                               const std::string& locale);
