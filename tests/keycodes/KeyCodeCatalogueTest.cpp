// The code palette's table and search, shared with zqtool codes.
#include "keycodes/KeyCodeCatalogue.h"

#include "keycodes/KeyTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Found(KeyCodeFamily family, const std::string& text)
{
    std::vector<std::string> names;
    for (const KeyCodeEntry& entry : GetKeyCodeCatalogue(family)) {
        if (MatchesKeyCodeSearch(entry, family, text)) {
            names.push_back(entry.name);
        }
    }
    return names;
}

const KeyCodeEntry* Named(KeyCodeFamily family, const std::string& name)
{
    const std::vector<KeyCodeEntry>& entries = GetKeyCodeCatalogue(family);
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&name](const KeyCodeEntry& entry) { return entry.name == name; });
    return found != entries.end() ? &*found : nullptr;
}

struct Search
{
    KeyCodeFamily family;
    const char* text;
    std::vector<std::string> names; // in table order
};

std::ostream& operator<<(std::ostream& out, const Search& search)
{
    return out << (search.family == KeyCodeFamily::Usb ? "usb " : "legacy ") << search.text;
}

class KeyCodeSearch : public testing::TestWithParam<Search>
{
};

} // namespace

TEST_P(KeyCodeSearch, FindsByNameAliasOrNumber)
{
    EXPECT_EQ(Found(GetParam().family, GetParam().text), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, KeyCodeSearch,
    testing::Values(
        Search{KeyCodeFamily::Usb, "f13", {"F13"}}, Search{KeyCodeFamily::Usb, " F13 ", {"F13"}},
        Search{KeyCodeFamily::Usb, "0x68", {"F13"}}, Search{KeyCodeFamily::Usb, "104", {"F13"}},
        Search{KeyCodeFamily::Usb, "7:68", {"F13"}}, Search{KeyCodeFamily::Usb, "1:81", {"Power"}},
        Search{KeyCodeFamily::Usb, "7:0x68", {}}, Search{KeyCodeFamily::Usb, "sysrq", {"Print_screen"}},
        Search{KeyCodeFamily::Usb, "page up", {"Page_up"}},
        Search{KeyCodeFamily::Usb, "altgr", {"Right_Alt"}}, Search{KeyCodeFamily::Legacy, "f13", {}},
        Search{KeyCodeFamily::Legacy, "7:68", {}},
        Search{KeyCodeFamily::Legacy, "0x14", {"Left_Control", "Right_Control", "Pause", "Pref_Ctrl"}},
        Search{KeyCodeFamily::Legacy, "europe_1", {"\\"}}));

TEST(KeyCodeCatalogue, NumFindsTheKeypadOfEachFamily)
{
    for (const KeyCodeFamily family : {KeyCodeFamily::Usb, KeyCodeFamily::Legacy}) {
        const std::vector<std::string> names = Found(family, "NUM");
        // Num Lock and the keypad's keys; Keypad = exists on the USB families only.
        EXPECT_EQ(names.size(), family == KeyCodeFamily::Usb ? 18u : 17u);
        for (const KeyCodeEntry& entry : GetKeyCodeCatalogue(family)) {
            if (MatchesKeyCodeSearch(entry, family, "num")) {
                EXPECT_EQ(entry.group, KeyCodeGroup::Keypad) << entry.name;
            }
        }
    }
}

TEST(KeyCodeCatalogue, EveryCodeOfTheTableOnceInGroupOrder)
{
    std::set<uint32_t> usages;
    for (int row = 1; row <= kUsbRowCount; ++row) {
        usages.insert(GetUsbRow(row)->usage);
    }
    const std::vector<KeyCodeEntry>& usb = GetKeyCodeCatalogue(KeyCodeFamily::Usb);
    std::set<uint32_t> listed;
    for (const KeyCodeEntry& entry : usb) {
        ASSERT_EQ(entry.codes.size(), 1u);
        EXPECT_TRUE(listed.insert(entry.codes[0]).second) << entry.name;
    }
    EXPECT_EQ(listed, usages);
    const std::vector<KeyCodeEntry>& legacy = GetKeyCodeCatalogue(KeyCodeFamily::Legacy);
    // Right_shift twice and Europe_1 with the bytes of \ .
    EXPECT_EQ(legacy.size(), static_cast<size_t>(kLegacyRowCount - 2));
    for (const auto* entries : {&usb, &legacy}) {
        EXPECT_TRUE(
            std::is_sorted(entries->begin(), entries->end(),
                           [](const KeyCodeEntry& a, const KeyCodeEntry& b) { return a.group < b.group; }));
    }
}

TEST(KeyCodeCatalogue, GroupsAsUsersLookForKeys)
{
    const auto count = [](KeyCodeFamily family, KeyCodeGroup group) {
        const std::vector<KeyCodeEntry>& entries = GetKeyCodeCatalogue(family);
        return std::count_if(entries.begin(), entries.end(),
                             [group](const KeyCodeEntry& entry) { return entry.group == group; });
    };
    EXPECT_EQ(count(KeyCodeFamily::Usb, KeyCodeGroup::Function), 24);
    EXPECT_EQ(count(KeyCodeFamily::Legacy, KeyCodeGroup::Function), 12);
    EXPECT_EQ(count(KeyCodeFamily::Usb, KeyCodeGroup::Prefixes), 0);
    EXPECT_EQ(count(KeyCodeFamily::Legacy, KeyCodeGroup::Prefixes), 6);
    EXPECT_EQ(Named(KeyCodeFamily::Usb, "Europe_2")->group, KeyCodeGroup::International);
    EXPECT_EQ(Named(KeyCodeFamily::Usb, "Release_Left_shift")->group, KeyCodeGroup::Modifiers);
    EXPECT_EQ(Named(KeyCodeFamily::Usb, "Wake")->group, KeyCodeGroup::System);
    EXPECT_EQ(Named(KeyCodeFamily::Legacy, "Print_scr")->group, KeyCodeGroup::System);
    EXPECT_EQ(Named(KeyCodeFamily::Usb, "Home")->group, KeyCodeGroup::Navigation);
}

TEST(KeyCodeCatalogue, CaptionsAndNumbersAsTheFieldsShowThem)
{
    const KeyCodeEntry* printScreen = Named(KeyCodeFamily::Legacy, "Print_screen");
    ASSERT_NE(printScreen, nullptr);
    EXPECT_EQ(printScreen->caption, "Print_screen");
    EXPECT_EQ(FormatKeyCodeNumber(*printScreen, KeyCodeFamily::Legacy), "E0 12 E0 7C");
    const KeyCodeEntry* f13 = Named(KeyCodeFamily::Usb, "F13");
    ASSERT_NE(f13, nullptr);
    EXPECT_EQ(f13->caption, " F13 ");
    EXPECT_EQ(FormatKeyCodeNumber(*f13, KeyCodeFamily::Usb), "7:68");
    EXPECT_EQ(FormatKeyCodeNumber(*Named(KeyCodeFamily::Usb, "Sleep"), KeyCodeFamily::Usb), "1:82");
}
