#include "app/Settings.h"
#include "app/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

constexpr uint32_t kTypeCount = 11;

Settings LoadFrom(const std::map<std::string, std::string>& configuration)
{
    MemorySettingsStore store;
    for (const auto& [name, value] : configuration) {
        store.WriteValue("Configuration", name, value);
    }
    Settings settings;
    settings.LoadSettings(store);
    return settings;
}

} // namespace

TEST(Settings, FirstRunTakesDefaultsAndAsksForTheType)
{
    const Settings s = LoadFrom({});
    EXPECT_TRUE(s.m_fastEdit && s.m_defaultApply && s.m_escEndApplication && s.m_confirmReplace &&
                s.m_confirmDelete);
    EXPECT_FALSE(s.m_useLastKeyb || s.m_useDefaultKeyb);
    EXPECT_TRUE(s.m_verifyAfterProgramming && s.m_backupBeforeProgramming);
    EXPECT_EQ(s.m_lastKeybID + s.m_defaultKeybID, 0);
    EXPECT_EQ(s.ChooseStartKeyboardType(kTypeCount), std::nullopt);
}

TEST(Settings, ValueParsing)
{
    struct Flag
    {
        const char* text;
        bool fastEdit;
        bool programmingCheck;
    };
    // An empty value takes the default (true for both). Text that does not parse turns the
    // original flags off, while the checks around programming stay on: losing them silently
    // would program keyboards unchecked.
    const Flag flags[] = {
        {"", true, true},   {"abc", false, true},       {"-1", false, true},         {"0", false, false},
        {"2", true, true},  {"0xFFFFFFFF", true, true}, {"4294967296", false, true}, {" 1", false, true},
        {"0x", false, true}};
    for (const Flag& flag : flags) {
        SCOPED_TRACE('"' + std::string(flag.text) + '"');
        EXPECT_EQ(LoadFrom({{"FastEdit", flag.text}}).m_fastEdit, flag.fastEdit);
        const Settings programming =
            LoadFrom({{"VerifyAfterProgramming", flag.text}, {"BackupBeforeProgramming", flag.text}});
        EXPECT_EQ(programming.m_verifyAfterProgramming, flag.programmingCheck);
        EXPECT_EQ(programming.m_backupBeforeProgramming, flag.programmingCheck);
    }
    const std::pair<const char*, int> ids[] = {{"", 0},    {"0x05", 5}, {"255", 255},
                                               {"256", 0}, {"300", 0},  {"x", 0}};
    for (const auto& [text, expected] : ids) {
        const Settings s = LoadFrom({{"LastKeybID", text}, {"DefaultKeybID", text}});
        EXPECT_EQ(s.m_lastKeybID, expected) << text;
        EXPECT_EQ(s.m_defaultKeybID, expected) << text;
    }
}

TEST(Settings, ChooseStartKeyboardType)
{
    struct Case
    {
        const char* useDefault;
        const char* defaultId;
        const char* useLast;
        const char* lastId;
        std::optional<uint8_t> expected;
    };
    const Case cases[] = {
        {"1", "10", "1", "7", 10},
        {"1", "11", "0", "7", std::nullopt},
        {"1", "11", "1", "7", 7},
        {"0", "3", "1", "0x05", 5},
        {"0", "3", "1", "11", std::nullopt},
        {"0", "3", "0", "7", std::nullopt},
        {"abc", "3", "", "7", std::nullopt},
    };
    for (const Case& c : cases) {
        const Settings s = LoadFrom({{"UseDefaultKeyb", c.useDefault},
                                     {"DefaultKeybID", c.defaultId},
                                     {"UseLastKeyb", c.useLast},
                                     {"LastKeybID", c.lastId}});
        EXPECT_EQ(s.ChooseStartKeyboardType(kTypeCount), c.expected)
            << c.useDefault << ' ' << c.defaultId << ' ' << c.useLast << ' ' << c.lastId;
    }
}

TEST(Settings, StartChoicesExcludeEachOther)
{
    Settings s = LoadFrom({{"UseLastKeyb", "1"}, {"UseDefaultKeyb", "1"}, {"DefaultKeybID", "2"}});
    s.ToggleUseDefaultKeyb();
    EXPECT_FALSE(s.m_useDefaultKeyb || s.m_useLastKeyb);
    s.ToggleUseLastKeyb();
    s.ToggleUseDefaultKeyb();
    EXPECT_TRUE(s.m_useDefaultKeyb && !s.m_useLastKeyb);
    s.ToggleUseLastKeyb();
    EXPECT_TRUE(s.m_useLastKeyb && !s.m_useDefaultKeyb);

    EXPECT_EQ(s.ApplyStartDialogChoice(4, false), 4);
    EXPECT_TRUE(s.m_useLastKeyb && !s.m_useDefaultKeyb);
    EXPECT_EQ(s.m_defaultKeybID, 2);
    EXPECT_EQ(s.ApplyStartDialogChoice(6, true), 6);
    EXPECT_TRUE(s.m_useDefaultKeyb && !s.m_useLastKeyb);
    EXPECT_EQ(s.m_defaultKeybID, 6);
}

TEST(Settings, SaveWritesEveryValueAsText)
{
    class RefusingStore : public MemorySettingsStore
    {
    public:
        bool WriteValue(const std::string& section, const std::string& name,
                        const std::string& value) override
        {
            return name != "ConfirmReplace" && MemorySettingsStore::WriteValue(section, name, value);
        }
    };
    Settings s;
    s.m_fastEdit = false;
    s.m_useDefaultKeyb = true;
    s.SetLastKeybID(255);
    s.m_defaultKeybID = 10;
    s.m_backupBeforeProgramming = false;
    RefusingStore store;
    EXPECT_FALSE(s.SaveSettings(store)); // a refused write does not stop the others
    const std::map<std::string, std::string> expected = {
        {"FastEdit", "0"},
        {"DefaultApply", "1"},
        {"EscEndApplication", "1"},
        {"ConfirmDelete", "1"},
        {"UseLastKeyb", "0"},
        {"UseDefaultKeyb", "1"},
        {"LastKeybID", "255"},
        {"DefaultKeybID", "10"},
        {"VerifyAfterProgramming", "1"},
        {"BackupBeforeProgramming", "0"},
    };
    EXPECT_EQ(store.ValueCount(), expected.size());
    for (const auto& [name, value] : expected) {
        EXPECT_EQ(store.ReadValue("Configuration", name), value) << name;
    }
}

TEST(Settings, RecentFileList)
{
    MemorySettingsStore store;
    store.WriteValue("Recent File List", "File1", "/a/one.zqp");
    store.WriteValue("Recent File List", "File3", "C:\\three.txt");
    EXPECT_EQ(Settings::LoadRecentFiles(store), (RecentFiles{"/a/one.zqp", "", "C:\\three.txt", ""}));

    MemorySettingsStore saved;
    EXPECT_TRUE(Settings::SaveRecentFiles(saved, {"n1", "n2", "", "n4"}));
    EXPECT_EQ(saved.ValueCount(), 4u);
    EXPECT_EQ(saved.ReadValue("Recent File List", "File2"), "n2");
    EXPECT_EQ(saved.ReadValue("Recent File List", "File3"), "");
    EXPECT_EQ(saved.ReadValue("Recent File List", "File4"), "n4");
}

TEST(Settings, APathGoesOnTopOfTheRecentFilesWithoutLosingAnother)
{
    const struct
    {
        RecentFiles before;
        const char* path;
        RecentFiles after;
    } cases[] = {
        {{"a", "b", "c", "d"}, "c", {"c", "a", "b", "d"}}, // moves up; none is lost
        {{"a", "b", "c", "d"}, "a", {"a", "b", "c", "d"}},
        {{"a", "b", "c", "d"}, "e", {"e", "a", "b", "c"}}, // a new one drops the last
        {{"a", "", "", ""}, "b", {"b", "a", "", ""}},
    };
    for (const auto& test : cases) {
        RecentFiles files = test.before;
        Settings::PutOnTop(files, test.path);
        EXPECT_EQ(files, test.after) << test.path;
    }
}
