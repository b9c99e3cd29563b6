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

class RefusingStore : public MemorySettingsStore
{
public:
    explicit RefusingStore(std::string refused) : m_refused(std::move(refused)) {}
    bool WriteValue(const std::string& section, const std::string& name, const std::string& value) override
    {
        return name != m_refused && MemorySettingsStore::WriteValue(section, name, value);
    }

private:
    std::string m_refused;
};

} // namespace

TEST(Settings, FirstRunTakesDefaultsAndAsksForTheType)
{
    const Settings settings = LoadFrom({});
    EXPECT_TRUE(settings.m_fastEdit);
    EXPECT_TRUE(settings.m_defaultApply);
    EXPECT_TRUE(settings.m_escEndApplication);
    EXPECT_TRUE(settings.m_confirmReplace);
    EXPECT_TRUE(settings.m_confirmDelete);
    EXPECT_FALSE(settings.m_useLastKeyb);
    EXPECT_FALSE(settings.m_useDefaultKeyb);
    EXPECT_EQ(settings.m_lastKeybID, 0);
    EXPECT_EQ(settings.m_defaultKeybID, 0);
    EXPECT_EQ(settings.ChooseStartKeyboardType(kTypeCount), std::nullopt);
}

TEST(Settings, BooleanParsing)
{
    struct Case
    {
        const char* text;
        bool expected;
    };
    // Only an empty value falls back to the default (true for FastEdit).
    const Case cases[] = {{"", true},    {"abc", false}, {"0", false},         {"1", true},
                          {"2", true},   {"0x10", true}, {"0xFFFFFFFF", true}, {"4294967296", false},
                          {" 1", false}, {"-1", false},  {"0x", false},        {"00", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(LoadFrom({{"FastEdit", c.text}}).m_fastEdit, c.expected) << '"' << c.text << '"';
        // The start flags default to false, so an empty value differs only there.
        EXPECT_EQ(LoadFrom({{"UseLastKeyb", c.text}}).m_useLastKeyb, *c.text != '\0' && c.expected)
            << '"' << c.text << '"';
    }
}

TEST(Settings, TypeIdParsing)
{
    struct Case
    {
        const char* text;
        uint8_t expected;
    };
    const Case cases[] = {{"", 0},    {"5", 5},   {"0x05", 5}, {"255", 255},
                          {"256", 0}, {"300", 0}, {"x", 0},    {"007", 7}};
    for (const Case& c : cases) {
        const Settings settings = LoadFrom({{"LastKeybID", c.text}, {"DefaultKeybID", c.text}});
        EXPECT_EQ(settings.m_lastKeybID, c.expected) << c.text;
        EXPECT_EQ(settings.m_defaultKeybID, c.expected) << c.text;
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
        {"1", "3", "0", "7", 3},
        {"1", "10", "1", "7", 10},
        {"1", "11", "0", "7", std::nullopt}, // unknown default ignored
        {"1", "11", "1", "7", 7},            // falls through to the last type
        {"0", "3", "1", "0x05", 5},
        {"0", "3", "1", "11", std::nullopt},
        {"0", "3", "0", "7", std::nullopt},
        {"abc", "3", "", "7", std::nullopt},
    };
    for (const Case& c : cases) {
        const Settings settings = LoadFrom({{"UseDefaultKeyb", c.useDefault},
                                            {"DefaultKeybID", c.defaultId},
                                            {"UseLastKeyb", c.useLast},
                                            {"LastKeybID", c.lastId}});
        EXPECT_EQ(settings.ChooseStartKeyboardType(kTypeCount), c.expected)
            << c.useDefault << ' ' << c.defaultId << ' ' << c.useLast << ' ' << c.lastId;
    }
}

TEST(Settings, StartDialogAnswer)
{
    Settings settings = LoadFrom({{"UseLastKeyb", "1"}, {"LastKeybID", "20"}, {"DefaultKeybID", "2"}});
    ASSERT_EQ(settings.ChooseStartKeyboardType(kTypeCount), std::nullopt);
    EXPECT_EQ(settings.ApplyStartDialogChoice(4, false), 4);
    EXPECT_TRUE(settings.m_useLastKeyb);
    EXPECT_FALSE(settings.m_useDefaultKeyb);
    EXPECT_EQ(settings.m_defaultKeybID, 2);

    EXPECT_EQ(settings.ApplyStartDialogChoice(6, true), 6);
    EXPECT_FALSE(settings.m_useLastKeyb);
    EXPECT_TRUE(settings.m_useDefaultKeyb);
    EXPECT_EQ(settings.m_defaultKeybID, 6);
    EXPECT_EQ(settings.ChooseStartKeyboardType(kTypeCount), 6);
}

TEST(Settings, StartChoicesExcludeEachOther)
{
    Settings settings = LoadFrom({{"UseLastKeyb", "1"}, {"UseDefaultKeyb", "1"}, {"LastKeybID", "3"}});
    settings.ToggleUseDefaultKeyb();
    EXPECT_FALSE(settings.m_useDefaultKeyb);
    EXPECT_FALSE(settings.m_useLastKeyb);
    settings.ToggleUseLastKeyb();
    EXPECT_TRUE(settings.m_useLastKeyb);
    settings.ToggleUseDefaultKeyb();
    EXPECT_TRUE(settings.m_useDefaultKeyb);
    EXPECT_FALSE(settings.m_useLastKeyb);
    settings.ToggleUseLastKeyb();
    EXPECT_TRUE(settings.m_useLastKeyb);
    EXPECT_FALSE(settings.m_useDefaultKeyb);
    settings.SetLastKeybID(9);
    EXPECT_EQ(settings.m_lastKeybID, 9);
    EXPECT_EQ(settings.m_defaultKeybID, 0); // toggles leave the ids alone
}

TEST(Settings, SaveWritesEveryValueAsText)
{
    Settings settings;
    settings.m_fastEdit = false;
    settings.m_confirmDelete = false;
    settings.m_useDefaultKeyb = true;
    settings.m_lastKeybID = 255;
    settings.m_defaultKeybID = 10;
    MemorySettingsStore store;
    EXPECT_TRUE(settings.SaveSettings(store));
    const std::map<std::string, std::string> expected = {
        {"FastEdit", "0"},       {"DefaultApply", "1"},  {"EscEndApplication", "1"},
        {"ConfirmReplace", "1"}, {"ConfirmDelete", "0"}, {"UseLastKeyb", "0"},
        {"UseDefaultKeyb", "1"}, {"LastKeybID", "255"},  {"DefaultKeybID", "10"},
    };
    EXPECT_EQ(store.ValueCount(), expected.size());
    for (const auto& [name, value] : expected) {
        EXPECT_EQ(store.ReadValue("Configuration", name), value) << name;
    }
}

TEST(Settings, FailedWriteDoesNotStopTheOthers)
{
    Settings settings;
    settings.m_defaultKeybID = 4;
    RefusingStore store("FastEdit");
    EXPECT_FALSE(settings.SaveSettings(store));
    EXPECT_EQ(store.ReadValue("Configuration", "FastEdit"), std::nullopt);
    EXPECT_EQ(store.ReadValue("Configuration", "DefaultKeybID"), "4");
    EXPECT_EQ(store.ValueCount(), 8u);
}

TEST(Settings, RecentFileList)
{
    MemorySettingsStore store;
    store.WriteValue("Recent File List", "File1", "/a/one.zqp");
    store.WriteValue("Recent File List", "File3", "C:\\three.txt");
    const RecentFiles loaded = Settings::LoadRecentFiles(store);
    EXPECT_EQ(loaded, (RecentFiles{"/a/one.zqp", "", "C:\\three.txt", ""}));

    MemorySettingsStore saved;
    EXPECT_TRUE(Settings::SaveRecentFiles(saved, {"n1", "n2", "", "n4"}));
    EXPECT_EQ(saved.ValueCount(), 4u);
    EXPECT_EQ(saved.ReadValue("Recent File List", "File1"), "n1");
    EXPECT_EQ(saved.ReadValue("Recent File List", "File2"), "n2");
    EXPECT_EQ(saved.ReadValue("Recent File List", "File3"), "");
    EXPECT_EQ(saved.ReadValue("Recent File List", "File4"), "n4");
}
