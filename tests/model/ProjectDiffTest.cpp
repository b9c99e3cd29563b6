#include "model/ProjectDiff.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// "layout/key field a|b" of every row, in order: one string says all a test checks.
std::vector<std::string> Describe(const ProjectDiff& diff)
{
    std::vector<std::string> lines;
    for (const DiffRow& row : diff.rows) {
        const std::string field = row.field == DiffField::Option ? row.option : GetDiffFieldName(row.field);
        lines.push_back(std::to_string(row.layout) + "/" + std::to_string(row.key) + " " + field + " " +
                        row.a + "|" + row.b);
    }
    return lines;
}

// Two ZQ-2200 projects with the same few keys, to be made to differ.
struct Pair
{
    Zq2200Keyboard a{3};
    Zq2200Keyboard b{3};

    Pair()
    {
        for (Zq2200Keyboard* side : {&a, &b}) {
            EXPECT_TRUE(side->SetKeyTexts("Hello", "M1,S+,K0x0B,K0x08", 1, 1, 1));
            EXPECT_TRUE(side->SetKeyTexts("Shift", "M2,K0xE1", 2, 1, 1));
        }
    }
    ProjectDiff Compare(const DiffSettings& settings = {}) { return CompareProjects(a, b, settings); }
};

TEST(ProjectDiff, ProjectsWithTheSameProgrammingAreEqual)
{
    Pair pair;
    const ProjectDiff diff = pair.Compare();
    EXPECT_TRUE(diff.comparable);
    EXPECT_TRUE(diff.IsEqual());
    EXPECT_EQ(diff.GetKeyState(1, 1, 1), KeyDiffState::Same);
}

TEST(ProjectDiff, AChangedSequenceNamesBothSidesCodes)
{
    Pair pair;
    ASSERT_TRUE(pair.b.SetKeyTexts("Hello", "M1,S+,K0x0B,K0x0C", 1, 1, 1));
    const ProjectDiff diff = pair.Compare();
    EXPECT_EQ(Describe(diff), std::vector<std::string>({"1/1 codes H E|H I"}));
    EXPECT_EQ(diff.GetKeyState(1, 1, 1), KeyDiffState::Changed);
    EXPECT_FALSE(diff.IsEqual());
}

TEST(ProjectDiff, AKeyProgrammedOnOneSideOnlyIsMarkedSo)
{
    Pair pair;
    ASSERT_TRUE(pair.a.SetKeyTexts("Extra", "K0x04", 5, 2, 2));
    ASSERT_TRUE(pair.b.SetKeyTexts("Other", "K0x05", 5, 3, 1));
    const ProjectDiff diff = pair.Compare();
    EXPECT_EQ(diff.GetKeyState(2, 5, 2), KeyDiffState::OnlyA);
    EXPECT_EQ(diff.GetKeyState(1, 5, 3), KeyDiffState::OnlyB);
    EXPECT_EQ(diff.GetKeyState(1, 1, 1), KeyDiffState::Same);
}

TEST(ProjectDiff, MergedAgainstSplitTellsTheShapeAndWhatTheCoveredPlaceSends)
{
    Pair pair;
    ASSERT_TRUE(pair.a.SetKeyTexts("Big", "K0x04", 3, 3, 1));
    ASSERT_TRUE(pair.a.ChangeShape(3, 3, ShapeBelow, 1));
    ASSERT_TRUE(pair.b.SetKeyTexts("Big", "K0x04", 3, 3, 1));
    ASSERT_TRUE(pair.b.SetKeyTexts("Small", "K0x05", 3, 4, 1));
    const ProjectDiff diff = pair.Compare();
    const uint16_t below = pair.a.GetCellIndex(3, 4, 1);
    const uint16_t above = pair.a.GetCellIndex(3, 3, 1);
    EXPECT_EQ(Describe(diff),
              std::vector<std::string>({
                  std::to_string(1) + "/" + std::to_string(above) + " shape double, down|single",
                  "1/" + std::to_string(below) + " shape part of the key at 3,3|single",
                  "1/" + std::to_string(below) + " codes A|B",
              }));
    EXPECT_EQ(diff.GetKeyState(1, 3, 3), KeyDiffState::Changed);
}

TEST(ProjectDiff, ALayoutOnlyOneSideHasIsOneRowAndItsKeysAreMarked)
{
    Zq2200Keyboard a(3);
    Zq2200Keyboard b(2);
    ASSERT_TRUE(a.SetKeyTexts("Third", "K0x04", 1, 1, 3));
    ASSERT_TRUE(a.SetKeyTexts("Third2", "K0x05", 2, 1, 3));
    const ProjectDiff diff = CompareProjects(a, b, {});
    EXPECT_EQ(Describe(diff), std::vector<std::string>({"3/0 layout present, programmed keys: 2|absent"}));
    EXPECT_EQ(diff.GetKeyState(3, 2, 1), KeyDiffState::OnlyA);
    const ProjectDiff reverse = CompareProjects(b, a, {});
    EXPECT_EQ(Describe(reverse), std::vector<std::string>({"3/0 layout absent|present, programmed keys: 2"}));
    EXPECT_EQ(reverse.GetKeyState(3, 1, 1), KeyDiffState::OnlyB);
}

TEST(ProjectDiff, KeyboardWideOptionsAreComparedByName)
{
    Pair pair;
    ASSERT_TRUE(pair.b.SetTypematicRate(static_cast<uint8_t>(pair.a.GetTypematicRate() + 1)));
    ASSERT_TRUE(pair.b.SetKeyPause(static_cast<uint8_t>(pair.a.GetKeyPause() + 2)));
    const ProjectDiff diff = pair.Compare();
    const std::string rate = std::to_string(pair.a.GetTypematicRate());
    const std::string pause = std::to_string(pair.a.GetKeyPause());
    EXPECT_EQ(Describe(diff),
              std::vector<std::string>({
                  "0/0 typematicRate " + rate + "|" + std::to_string(pair.b.GetTypematicRate()),
                  "0/0 keyPause " + pause + "|" + std::to_string(pair.b.GetKeyPause()),
              }));
    EXPECT_EQ(diff.keyStates.size(), 0u) << "no key is marked for an option";
}

struct NameCase
{
    const char* what;
    DiffSettings settings;
    bool namesCompared;
};

class ProjectDiffNames : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(ProjectDiffNames, NamesAreComparedOnlyWhereBothSidesKeepThem)
{
    Pair pair;
    ASSERT_TRUE(pair.b.SetKeyTexts("Bonjour", "M1,S+,K0x0B,K0x08", 1, 1, 1));
    const ProjectDiff diff = pair.Compare(GetParam().settings);
    EXPECT_EQ(diff.IsEqual(), !GetParam().namesCompared);
    const bool listed =
        std::find(diff.compared.begin(), diff.compared.end(), DiffField::Name) != diff.compared.end();
    EXPECT_EQ(listed, GetParam().namesCompared);
    EXPECT_EQ(diff.notes.empty(), GetParam().namesCompared) << "a field left out is said";
}

INSTANTIATE_TEST_SUITE_P(Settings, ProjectDiffNames,
                         ::testing::Values(NameCase{"files", {false, false}, true},
                                           NameCase{"ignored", {true, false}, false},
                                           NameCase{"keyboard", {false, true}, false}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(ProjectDiff, AKeyboardKeepsNoSimpleFlagOfALayoutSwitchKey)
{
    Pair pair;
    ASSERT_TRUE(pair.a.SetKeyTexts("Two", "L2,S-", 3, 1, 1));
    ASSERT_TRUE(pair.b.SetKeyTexts("Two", "L2,S+", 3, 1, 1));
    ASSERT_TRUE(pair.b.SetKeyTexts("Hello", "M1,S-,K0x0B,K0x08", 1, 1, 1));
    DiffSettings keyboard;
    keyboard.bFromKeyboard = true;
    const uint16_t switchKey = pair.a.GetCellIndex(3, 1, 1);
    EXPECT_EQ(Describe(pair.Compare(keyboard)), std::vector<std::string>({"1/1 simple 1|0"}))
        << "an ordinary key's flag is held and compared; the switch key's is not";
    EXPECT_EQ(Describe(pair.Compare()),
              std::vector<std::string>({"1/1 simple 1|0", "1/" + std::to_string(switchKey) + " simple 0|1"}));
}

TEST(ProjectDiff, ProjectsOfDifferentFamiliesAreNotCompared)
{
    Zq2200Keyboard a(3);
    Zq3300Keyboard b(false, 2);
    const ProjectDiff diff = CompareProjects(a, b, {});
    EXPECT_FALSE(diff.comparable);
    EXPECT_FALSE(diff.IsEqual()) << "nothing compared is no equality";
}

TEST(ProjectDiff, ACopiedProjectIsEqualToItsSource)
{
    Pair pair;
    ASSERT_TRUE(pair.a.ChangeShape(1, 1, ShapeBelow, 1));
    std::unique_ptr<Keyboard> copy = CopyProject(pair.a);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Describe(CompareProjects(pair.a, *copy, {})), std::vector<std::string>());
}

} // namespace
