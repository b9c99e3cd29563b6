#include "editor/FunctionList.h"

#include "model/Keyboard.h"
#include "model/UsbKeyCell.h"
#include "model/Zq2200Keyboard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kCodesA = "M1,S+,K0x04";
constexpr const char* kCodesB = "M1,S+,K0x05";
constexpr const char* kCodesC = "M1,S-,K0xE1,K0x06";

struct Row
{
    uint16_t keyNumber;
    std::string name;
    std::string codesText;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row)
{
    return out << "{" << row.keyNumber << ", \"" << row.name << "\", \"" << row.codesText << "\"}";
}

std::vector<Row> Rows(const FunctionList& list)
{
    std::vector<Row> rows;
    for (uint16_t index = 1; index <= list.GetCount(); ++index) {
        const FunctionEntry* entry = list.GetEntry(index);
        rows.push_back(Row{entry->keyNumber, entry->name, entry->codesText});
    }
    return rows;
}

// A key of its own, outside any keyboard.
UsbKeyCell Key(uint16_t keyNumber, const std::string& name, const std::string& codes)
{
    UsbKeyCell cell(keyNumber, 1, 1, 1, 16);
    EXPECT_TRUE(cell.SetName(name));
    EXPECT_TRUE(cell.ParseCodesText(codes));
    return cell;
}

KeyCell& CellAt(Keyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout)
{
    KeyCell* cell = nullptr;
    EXPECT_TRUE(keyboard.GetCell(column, row, layout, &cell));
    return *cell;
}

// Two codes out of 32 usages each: a distinct programming for every n below 1024.
std::string DistinctCodes(int n)
{
    char text[32];
    std::snprintf(text, sizeof text, "M1,S+,K0x%02X,K0x%02X", 4 + n % 32, 4 + n / 32);
    return text;
}

enum class Op { Add, Remove, ForgetKeys, RemoveKeyEntries };

struct Step
{
    Op op;
    uint16_t keyNumber;
    const char* name;
    const char* codes; // the key's programming at the time of the step
    bool answer;
};

struct ListCase
{
    const char* title;
    std::vector<Step> steps;
    std::vector<Row> expected; // in list order, unsorted
};

class FunctionListSteps : public ::testing::TestWithParam<ListCase>
{
};

} // namespace

TEST_P(FunctionListSteps, EntriesFollowKeysByNumberAndCodes)
{
    FunctionList list;
    int number = 0;
    for (const Step& step : GetParam().steps) {
        ++number;
        if (step.op == Op::ForgetKeys) {
            list.ForgetKeys();
            continue;
        }
        if (step.op == Op::RemoveKeyEntries) {
            list.RemoveKeyEntries();
            continue;
        }
        const UsbKeyCell cell = Key(step.keyNumber, step.name, step.codes);
        const bool answer = step.op == Op::Add ? list.AddOrUpdate(cell) : list.Remove(cell);
        EXPECT_EQ(answer, step.answer) << "step " << number;
    }
    EXPECT_EQ(Rows(list), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FunctionListSteps,
    ::testing::Values(
        ListCase{"UpdateKeepsPlace",
                 {{Op::Add, 1, "Total", kCodesA, true},
                  {Op::Add, 2, "Void", kCodesB, true},
                  {Op::Add, 1, "Sum", kCodesC, true}},
                 {{1, "Sum", kCodesC}, {2, "Void", kCodesB}}},
        ListCase{"TwoKeysWithTheSameCodesAreTwoEntries",
                 {{Op::Add, 1, "Total", kCodesA, true}, {Op::Add, 2, "Total", kCodesA, true}},
                 {{1, "Total", kCodesA}, {2, "Total", kCodesA}}},
        ListCase{"RemovedKeyStaysAsFreeFunction",
                 {{Op::Add, 1, "Total", kCodesA, true}, {Op::Remove, 1, "Total", kCodesA, true}},
                 {{0, "Total", kCodesA}}},
        ListCase{"RemovedKeyDroppedWhileAnotherKeyHoldsItsCodes",
                 {{Op::Add, 1, "Total", kCodesA, true},
                  {Op::Add, 2, "Copy", kCodesA, true},
                  {Op::Remove, 1, "Total", kCodesA, true}},
                 {{2, "Copy", kCodesA}}},
        // The key changed behind the list's back: the list keeps what it knew and says so.
        ListCase{"RemoveAnswersFalseWhenTheKeyChangedUnseen",
                 {{Op::Add, 1, "Total", kCodesA, true}, {Op::Remove, 1, "Total", kCodesB, false}},
                 {{0, "Total", kCodesA}}},
        ListCase{"RemoveOfAnUnlistedKeyChangesNothing",
                 {{Op::Add, 1, "Total", kCodesA, true}, {Op::Remove, 2, "Void", kCodesA, false}},
                 {{1, "Total", kCodesA}}},
        ListCase{"KeyTakesTheFreeEntryWithItsCodes",
                 {{Op::Add, 1, "Total", kCodesA, true},
                  {Op::Add, 2, "Void", kCodesB, true},
                  {Op::Remove, 1, "Total", kCodesA, true},
                  {Op::Add, 7, "Sum", kCodesA, true}},
                 {{7, "Sum", kCodesA}, {2, "Void", kCodesB}}},
        ListCase{"UpdateDropsFreeEntriesWithTheNewCodes",
                 {{Op::Add, 1, "Total", kCodesA, true},
                  {Op::Remove, 1, "Total", kCodesA, true},
                  {Op::Add, 2, "Void", kCodesB, true},
                  {Op::Add, 2, "Void", kCodesA, true}},
                 {{2, "Void", kCodesA}}},
        // As after reading a keyboard back: each key finds its own former entry again, also when
        // an earlier entry with the same codes was already taken.
        ListCase{"ForgottenKeysTakeBackTheirEntries",
                 {{Op::Add, 1, "Total", kCodesA, true},
                  {Op::Add, 2, "Again", kCodesA, true},
                  {Op::Add, 3, "Void", kCodesB, true},
                  {Op::ForgetKeys, 0, "", "", true},
                  {Op::Add, 1, "Total", kCodesA, true},
                  {Op::Add, 2, "Again", kCodesA, true}},
                 {{1, "Total", kCodesA}, {2, "Again", kCodesA}, {0, "Void", kCodesB}}},
        // As after a conversion: the keys' entries are made anew from the new project; the free
        // functions stay, and a key with their codes takes them.
        ListCase{"NewKeysKeepOnlyTheFreeFunctions",
                 {{Op::Add, 1, "Total", kCodesA, true},
                  {Op::Add, 2, "Void", kCodesB, true},
                  {Op::Remove, 2, "Void", kCodesB, true},
                  {Op::Add, 3, "Sum", kCodesC, true},
                  {Op::RemoveKeyEntries, 0, "", "", true},
                  {Op::Add, 9, "Cancel", kCodesB, true},
                  {Op::Add, 4, "Sum", kCodesC, true}},
                 {{9, "Cancel", kCodesB}, {4, "Sum", kCodesC}}}),
    [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.title); });

TEST(FunctionList, FullListDropsTheFirstFreeEntryAndThenLeavesKeysOut)
{
    FunctionList list;
    for (uint16_t key = 1; key <= FunctionList::kCapacity; ++key) {
        ASSERT_TRUE(list.AddOrUpdate(Key(key, "K", DistinctCodes(key))));
    }
    ASSERT_TRUE(list.Remove(Key(9, "K", DistinctCodes(9))));
    ASSERT_TRUE(list.Remove(Key(5, "K", DistinctCodes(5))));
    ASSERT_EQ(list.GetCount(), 512);

    EXPECT_TRUE(list.AddOrUpdate(Key(700, "New", DistinctCodes(700))));
    EXPECT_EQ(list.GetCount(), 512);
    EXPECT_EQ(list.FindByCodesText(DistinctCodes(5)), 0);
    EXPECT_NE(list.FindByCodesText(DistinctCodes(9)), 0);

    EXPECT_TRUE(list.AddOrUpdate(Key(701, "New", DistinctCodes(701))));
    EXPECT_EQ(list.FindByCodesText(DistinctCodes(9)), 0);

    // Only keys left: the next key stays out, the listed ones are untouched.
    EXPECT_FALSE(list.AddOrUpdate(Key(702, "New", DistinctCodes(702))));
    EXPECT_EQ(list.GetCount(), 512);
    EXPECT_EQ(list.FindByKeyNumber(702), 0);
    // A listed key still updates.
    EXPECT_TRUE(list.AddOrUpdate(Key(700, "Renamed", DistinctCodes(700))));
    EXPECT_EQ(list.GetEntry(list.FindByKeyNumber(700))->name, "Renamed");
}

TEST(FunctionList, SortAndLabelsIgnoreCaseAndNumberKeyTwins)
{
    FunctionList list;
    const struct
    {
        uint16_t key;
        const char* name;
        bool cleared;
    } keys[] = {{3, "beta", false}, {9, "Alpha", false}, {2, "alpha", false}, {4, "Zed", true},
                {8, "", true},      {6, "Alpha", false}, {7, "alpha", true},  {5, "Beta", true}};
    int n = 0;
    for (const auto& key : keys) {
        const UsbKeyCell cell = Key(key.key, key.name, DistinctCodes(++n));
        ASSERT_TRUE(list.AddOrUpdate(cell));
        if (key.cleared) {
            ASSERT_TRUE(list.Remove(cell));
        }
    }
    // Free entries sort before keys of the same name; only two keys side by side get numbers.
    const std::vector<std::string> expected = {"Error 1",     "alpha", "alpha (2) *", "Alpha (6) *",
                                               "Alpha (9) *", "Beta",  "beta *",      "Zed"};
    EXPECT_EQ(list.Rebuild(), expected);
    EXPECT_EQ(list.GetEntry(4)->keyNumber, 6);
    EXPECT_EQ(list.GetLabel(1), "");
    EXPECT_EQ(list.GetLabel(9), "");
}

TEST(FunctionList, FillTakesEveryKeyOnceAndLeavesLayoutSwitchesOut)
{
    Zq2200Keyboard keyboard(3);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", kCodesA, 1, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("B", kCodesB, 3, 2, 2));
    // A double key whose first cell is not its master: listed under the master's number.
    ASSERT_TRUE(keyboard.SetKeyTexts("C", kCodesC, 3, 1, 3));
    ASSERT_TRUE(keyboard.ChangeShape(3, 1, ShapeLeft, 3));
    ASSERT_TRUE(keyboard.SetKeyTexts("Go", "L2", 4, 8, 1));

    FunctionList list;
    EXPECT_TRUE(list.FillFromAllKeys(keyboard));
    EXPECT_TRUE(list.FillFromAllKeys(keyboard));
    // Either cell of the double key stands for it.
    EXPECT_TRUE(list.AddOrUpdate(CellAt(keyboard, 2, 1, 1)));
    EXPECT_FALSE(list.AddOrUpdate(CellAt(keyboard, 4, 8, 2)));
    EXPECT_TRUE(list.Remove(CellAt(keyboard, 4, 8, 3)));

    EXPECT_EQ(list.Rebuild(), (std::vector<std::string>{"A *", "B *", "C *"}));
    EXPECT_EQ(Rows(list), (std::vector<Row>{{1, "A", kCodesA}, {48, "B", kCodesB}, {83, "C", kCodesC}}));
}

TEST(FunctionList, ClearedKeyStaysAsFunctionAndPastingGivesItTheNewKey)
{
    Zq2200Keyboard keyboard(1);
    ASSERT_TRUE(keyboard.SetKeyTexts("Total", kCodesA, 1, 1, 1));
    FunctionList list;
    ASSERT_TRUE(list.FillFromAllKeys(keyboard));

    // Clear Key: the list lets go of the key first.
    EXPECT_TRUE(list.Remove(CellAt(keyboard, 1, 1, 1)));
    ASSERT_TRUE(keyboard.ClearKey(1, 1));
    EXPECT_EQ(list.Rebuild(), std::vector<std::string>{"Total"});
    EXPECT_EQ(list.GetEntry(1)->keyNumber, 0);

    // Paste onto key 12.
    KeyCell& target = CellAt(keyboard, 2, 3, 1);
    EXPECT_FALSE(list.Remove(target));
    ASSERT_TRUE(keyboard.SetKeyTexts("Total", kCodesA, 2, 3, 1));
    EXPECT_TRUE(list.AddOrUpdate(target));
    EXPECT_EQ(Rows(list), (std::vector<Row>{{12, "Total", kCodesA}}));

    // Paste from the function list onto key 19: a second key with that programming.
    KeyCell& other = CellAt(keyboard, 4, 4, 1);
    ASSERT_TRUE(list.ApplyEntry(1, other));
    EXPECT_EQ(other.FormatCodesText(0), kCodesA);
    EXPECT_TRUE(list.AddOrUpdate(other));
    EXPECT_EQ(list.Rebuild(), (std::vector<std::string>{"Total (12) *", "Total (19) *"}));
    EXPECT_FALSE(list.ApplyEntry(3, other));
}

TEST(FunctionList, ShapeChangeRenumbersTheKeyToItsNewMaster)
{
    Zq2200Keyboard keyboard(1);
    ASSERT_TRUE(keyboard.SetKeyTexts("A", kCodesA, 2, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(2, 1, ShapeLeft, 1));
    FunctionList list;
    ASSERT_TRUE(list.FillFromAllKeys(keyboard));
    ASSERT_EQ(list.GetEntry(1)->keyNumber, 2);

    // Single from the left cell: the programming moves to key 1.
    const uint16_t before = CellAt(keyboard, 1, 1, 1).GetMaster()->GetKeyNumber();
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, 0, 1));
    const uint16_t after = CellAt(keyboard, 1, 1, 1).GetMaster()->GetKeyNumber();
    ASSERT_EQ(after, 1);
    EXPECT_TRUE(list.Renumber(before, after));
    ASSERT_TRUE(list.FillFromAllKeys(keyboard));
    EXPECT_EQ(Rows(list), (std::vector<Row>{{1, "A", kCodesA}}));

    EXPECT_FALSE(list.Renumber(5, 6));
    EXPECT_FALSE(list.Renumber(1, 0));
}

TEST(FunctionList, RenumberOntoAListedKeyFreesThatKeysStaleEntry)
{
    FunctionList list;
    ASSERT_TRUE(list.AddOrUpdate(Key(1, "A", kCodesA)));
    ASSERT_TRUE(list.AddOrUpdate(Key(2, "B", kCodesB)));
    EXPECT_TRUE(list.Renumber(1, 2));
    EXPECT_EQ(Rows(list), (std::vector<Row>{{2, "A", kCodesA}, {0, "B", kCodesB}}));
}
