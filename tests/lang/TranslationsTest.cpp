#include "TextTables.h"

#include "lang/BuiltinStrings.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "lang/Translations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

class Translations : public TextTables
{
protected:
    // A program folder with its tables beside it, and a second, installed, folder.
    std::vector<std::string> Folders()
    {
        const std::string beside = m_folder.File("bin/translations");
        const std::string installed = m_folder.File("share/zq-programmer/translations");
        std::filesystem::create_directories(beside);
        std::filesystem::create_directories(installed);
        WriteWholeFile(beside + "/de.lang", "# IDS_TITLE_ERROR\n32781=Fehler\n36379=OK\n");
        WriteWholeFile(installed + "/pl.lang", "32781=B\xc5\x82\xc4\x85"
                                               "d\n");
        WriteWholeFile(installed + "/de.lang", "32781=not this one\n");
        WriteWholeFile(installed + "/notes.txt", "32781=not a table\n");
        return GetTranslationFolders(m_folder.File("bin"));
    }
};

TEST(LanguageCandidates, FromTheLocaleThenItsLanguage)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(GetLanguageCandidates("de_DE.UTF-8@euro"), (List{"de_DE", "de"}));
    EXPECT_EQ(GetLanguageCandidates("pt-BR"), (List{"pt-BR", "pt"}));
    EXPECT_EQ(GetLanguageCandidates("pl"), (List{"pl"}));
    for (const char* none : {"", "C", "POSIX", "C.UTF-8", ".UTF-8"}) {
        EXPECT_TRUE(GetLanguageCandidates(none).empty()) << none;
    }
}

TEST_F(Translations, TablesReadEveryEscapeSkipCommentsAndKeepTheFirstEntry)
{
    const std::string path = m_folder.File("fr.lang");
    WriteWholeFile(path, "# a comment=with an equal sign\r\n"
                         "33012=Un\\nDeux\\nTrois\\nQuatre\\tfin\\\\x\r\n"
                         "0x88BD=hex\n"
                         "35005=second\n"
                         "=no id\n"
                         "0=zero\n"
                         "33013=a=b");
    std::map<uint32_t, std::string> table;
    ASSERT_TRUE(ReadTranslationTable(path, table));
    EXPECT_EQ(table, (std::map<uint32_t, std::string>{
                         {33012, "Un\nDeux\nTrois\nQuatre\tfin\\\\x"}, {35005, "hex"}, {33013, "a=b"}}));
    EXPECT_FALSE(ReadTranslationTable(m_folder.File("missing.lang"), table));
    EXPECT_TRUE(table.empty());
}

TEST_F(Translations, TheChosenLanguageThenTheLocaleThenTheBuiltInTexts)
{
    const std::vector<std::string> folders = Folders();
    EXPECT_EQ(ListTranslations(folders), (std::vector<std::string>{"de", "pl"}));
    struct Case
    {
        const char* wanted;
        const char* locale;
        const char* installed;
        const char* error;
    };
    for (const Case& c : {Case{"", "de_AT.UTF-8", "de", "Fehler"},
                          Case{"pl", "de_DE", "pl",
                               "B\xc5\x82\xc4\x85"
                               "d"},
                          Case{"fr", "de_DE", "de", "Fehler"}, Case{"en", "de_DE", "", "Error"},
                          Case{"", "C", "", "Error"}}) {
        EXPECT_EQ(InstallTranslation(folders, c.wanted, c.locale), c.installed) << c.wanted << c.locale;
        EXPECT_EQ(LoadText(IDS_TITLE_ERROR), c.error) << c.wanted << c.locale;
    }
    // A language file still wins over the table.
    InstallTranslation(folders, "de", "");
    const std::string languageFile = m_folder.File("prog.lang");
    WriteWholeFile(languageFile, "32781=Shop's own\n");
    ASSERT_TRUE(LoadLanguageFile(languageFile));
    EXPECT_EQ(LoadText(IDS_TITLE_ERROR), "Shop's own");
    EXPECT_EQ(LoadText(IDS_BUTTON_OK), "OK");
}

// What a translation must keep of the built-in text: its placeholders and escapes, in any order.
std::multiset<std::string> Markers(const std::string& text)
{
    static const std::regex marker(R"(%fn%|%sp%|%fp%|%[sdnt]|[\t\r\n])");
    std::multiset<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), marker); it != std::sregex_iterator();
         ++it) {
        found.insert(it->str());
    }
    return found;
}

bool IsUtf8(const std::string& text)
{
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80           ? 1
                              : (lead >> 5) == 0x6  ? 2
                              : (lead >> 4) == 0xE  ? 3
                              : (lead >> 3) == 0x1E ? 4
                                                    : 0;
        if (length == 0 || at + length > text.size()) {
            return false;
        }
        for (size_t i = 1; i < length; ++i) {
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
                return false;
            }
        }
        at += length;
    }
    return true;
}

TEST(ShippedTranslations, EachTableTranslatesEveryTextAndKeepsItsMarkers)
{
#ifdef _WIN32
    GTEST_SKIP() << "the source folder is read on the build machine";
#endif
    const std::vector<std::string> languages = ListTranslations({ZQ_TRANSLATIONS_DIR});
    EXPECT_EQ(languages, (std::vector<std::string>{"de", "es", "fr", "it", "pl"}));
    for (const std::string& language : languages) {
        std::map<uint32_t, std::string> table;
        ASSERT_TRUE(ReadTranslationTable(std::string(ZQ_TRANSLATIONS_DIR) + "/" + language + ".lang", table));
        for (const BuiltinString& builtin : GetBuiltinStrings()) {
            const auto found = table.find(builtin.id);
            if (found == table.end()) {
                ADD_FAILURE() << language << ": no text for " << builtin.id;
                continue;
            }
            const std::string english(builtin.text);
            const std::string& text = found->second;
            EXPECT_EQ(Markers(text), Markers(english)) << language << " " << builtin.id << ": " << text;
            EXPECT_EQ(std::count(text.begin(), text.end(), '&'),
                      std::count(english.begin(), english.end(), '&'))
                << language << " " << builtin.id << ": " << text;
            EXPECT_TRUE(IsUtf8(text)) << language << " " << builtin.id;
            // Short enough for a language file to hold it, unless the English is not.
            EXPECT_TRUE(text.size() <= 128 || english.size() > 128)
                << language << " " << builtin.id << ": " << text;
            table.erase(found);
        }
        for (const auto& [id, text] : table) {
            ADD_FAILURE() << language << ": " << id << " is no text of the program";
        }
    }
}

} // namespace
