// The editor's comparison: the marks of the picture's keys, the summary and the other side's key,
// following changes of the project, and taking the other side's key over.
#include "editor/ProjectComparison.h"
#include "editor/FunctionList.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"

#include "KeyCells.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& text)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

// Two ZQ-2200 projects: a key the same, one changed, one on each side alone, a double key here
// against two singles there, and the RFID digits apart.
class ProjectComparisonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (Keyboard* keyboard : {m_ours.get(), m_theirs.get()}) {
            ASSERT_TRUE(keyboard->SetKeyTexts("Tea", "M1,S+,K0x17", At(1, 1), 1));
            ASSERT_TRUE(keyboard->SetKeyTexts("Milk", "M1,S+,K0x10", At(1, 3), 1));
        }
        ASSERT_TRUE(m_ours->SetKeyTexts("Coffee", "M1,S+,K0x06", At(2, 1), 1));
        ASSERT_TRUE(m_theirs->SetKeyTexts("Coffee", "M1,S+,K0x07", At(2, 1), 1));
        ASSERT_TRUE(m_ours->SetKeyTexts("Cake", "M1,S+,K0x05", At(3, 1), 1));
        ASSERT_TRUE(m_theirs->SetKeyTexts("Juice", "M2,K0xE1", At(4, 1), 1));
        ASSERT_TRUE(m_ours->SetKeyTexts("Water", "M1,S+,K0x1A", At(1, 2), 1));
        ASSERT_TRUE(m_ours->ChangeShape(At(1, 2), ShapeRight, 1));
        ASSERT_TRUE(m_theirs->SetKeyTexts("Water", "M1,S+,K0x1A", At(1, 2), 1));
        ASSERT_TRUE(m_theirs->SetKeyTexts("Soda", "M1,S+,K0x16", At(2, 2), 1));
        ASSERT_TRUE(m_theirs->SetRfidDigits(5));
    }

    void Start(CompareSource source = CompareSource::File)
    {
        std::unique_ptr<Keyboard> copy = CreateKeyboard(m_theirs->GetTypeId());
        std::string text;
        uint8_t format = 0;
        ASSERT_TRUE(m_theirs->SaveToMemory(text, &format));
        ASSERT_TRUE(copy->LoadFromMemory(text, &format));
        ASSERT_TRUE(m_comparison.Start(*m_ours, std::move(copy), source, "prices.zqp"));
    }

    CompareMark Mark(GridPoint key, uint8_t layout = 1) { return m_comparison.GetMark(*m_ours, key, layout); }

    std::unique_ptr<Keyboard> m_ours = CreateKeyboard(kTypeZq2200Three);
    std::unique_ptr<Keyboard> m_theirs = CreateKeyboard(kTypeZq2200Three);
    ProjectComparison m_comparison;
};

} // namespace

TEST_F(ProjectComparisonTest, MarksEveryKeyBySide)
{
    EXPECT_EQ(Mark(At(1, 1)), CompareMark::None);
    Start();
    EXPECT_EQ(Mark(At(1, 1)), CompareMark::Same);
    EXPECT_EQ(Mark(At(2, 1)), CompareMark::Changed);
    EXPECT_EQ(Mark(At(3, 1)), CompareMark::OnlyHere);
    EXPECT_EQ(Mark(At(4, 1)), CompareMark::OnlyThere);
    // Empty on both sides: nothing to say.
    EXPECT_EQ(Mark(At(5, 1)), CompareMark::None);
    // The empty key here shows the name of the key only there.
    EXPECT_EQ(m_comparison.GetOtherName(*m_ours, At(4, 1), 1), "Juice");
    EXPECT_EQ(m_comparison.GetOtherName(*m_ours, At(2, 1), 1), "");
    // The double key here stands over a key the same and a key only there: changed, from either cell.
    EXPECT_EQ(Mark(At(1, 2)), CompareMark::Changed);
    EXPECT_EQ(Mark(At(2, 2)), CompareMark::Changed);
    EXPECT_EQ(m_comparison.GetSummary(), "4 keys differ, 1 option");
}

TEST_F(ProjectComparisonTest, TextsNameTheOptionsAndTheOtherSidesKey)
{
    Start();
    const ComparisonTexts texts = m_comparison.GetTexts(*m_ours, At(2, 1), 1);
    EXPECT_EQ(texts.title, "Compared with prices.zqp");
    EXPECT_EQ(texts.details, std::vector<std::string>{"Digits count: 9 here, 5 there"});
    EXPECT_EQ(texts.legend, "= same   \xE2\x89\xA0 changed   + only here   \xE2\x88\x92 only there");
    ASSERT_GE(texts.otherKey.size(), 2U);
    EXPECT_EQ(texts.otherKey[0], "\xE2\x89\xA0 changed");
    EXPECT_TRUE(Contains(texts.otherKey, "There: "));
    EXPECT_TRUE(Contains(texts.otherKey, "Name: Coffee"));

    EXPECT_TRUE(Contains(m_comparison.GetTexts(*m_ours, At(3, 1), 1).otherKey, "There: not programmed"));
    // The configuration tab has no key.
    EXPECT_TRUE(m_comparison.GetTexts(*m_ours, 0, 1).otherKey.empty());
}

TEST_F(ProjectComparisonTest, ALayoutOnOneSideIsNamedAndItsKeysCount)
{
    std::unique_ptr<Keyboard> one = CreateKeyboard(kTypeZq2200One);
    ASSERT_TRUE(m_ours->SetKeyTexts("Later", "M1,S+,K0x08", At(1, 1), 3));
    ASSERT_TRUE(m_comparison.Start(*m_ours, std::move(one), CompareSource::File, "one.zqp"));
    EXPECT_EQ(Mark(At(1, 1), 3), CompareMark::OnlyHere);
    EXPECT_FALSE(m_comparison.CanTakeOtherKey(*m_ours, At(1, 1), 3));
    EXPECT_TRUE(Contains(m_comparison.GetTexts(*m_ours, At(1, 1), 3).otherKey, "There: no such layout"));
    const ComparisonTexts texts = m_comparison.GetTexts(*m_ours, 0, 1);
    EXPECT_EQ(
        std::count_if(texts.details.begin(), texts.details.end(),
                      [](const std::string& line) { return line.find(": only here") != std::string::npos; }),
        2);

    // Seen from the smaller project, the keys of the layout it lacks still count.
    std::unique_ptr<Keyboard> small = CreateKeyboard(kTypeZq2200One);
    ProjectComparison fromSmall;
    std::unique_ptr<Keyboard> big = CreateKeyboard(kTypeZq2200Three);
    ASSERT_TRUE(big->SetKeyTexts("Later", "M1,S+,K0x08", At(1, 1), 3));
    ASSERT_TRUE(fromSmall.Start(*small, std::move(big), CompareSource::File, "three.zqp"));
    EXPECT_EQ(fromSmall.GetSummary(), "1 key differs");
}

TEST_F(ProjectComparisonTest, OnlyProjectsOfOneFamilyCompare)
{
    EXPECT_FALSE(m_comparison.Start(*m_ours, CreateKeyboard(kTypeZq3300SingleOne), CompareSource::File, "x"));
    EXPECT_FALSE(m_comparison.IsActive());
    // Two ZQ-3300s alike.
    std::unique_ptr<Keyboard> a = CreateKeyboard(kTypeZq3300SingleOne);
    EXPECT_TRUE(m_comparison.Start(*a, CreateKeyboard(kTypeZq3300SingleOne), CompareSource::File, "x"));
    EXPECT_EQ(m_comparison.GetSummary(), "No differences");
    m_comparison.End();
    EXPECT_FALSE(m_comparison.IsActive());
    EXPECT_EQ(m_comparison.GetMark(*a, At(1, 1), 1), CompareMark::None);
}

TEST_F(ProjectComparisonTest, MarksFollowTheProjectsChanges)
{
    Start();
    EXPECT_FALSE(m_comparison.Follow(*m_ours, m_ours->GetContentSignature()));
    ASSERT_TRUE(m_ours->SetKeyTexts("Coffee", "M1,S+,K0x07", At(2, 1), 1));
    ASSERT_TRUE(m_ours->SetRfidDigits(5));
    EXPECT_TRUE(m_comparison.Follow(*m_ours, m_ours->GetContentSignature()));
    EXPECT_EQ(Mark(At(2, 1)), CompareMark::Same);
    EXPECT_EQ(m_comparison.GetSummary(), "3 keys differ");
    // A project made anew (an undo step) is compared as it stands.
    std::unique_ptr<Keyboard> replaced = CreateKeyboard(kTypeZq2200Three);
    EXPECT_TRUE(m_comparison.Follow(*replaced, replaced->GetContentSignature()));
    EXPECT_EQ(m_comparison.GetMark(*replaced, At(1, 1), 1), CompareMark::OnlyThere);
}

TEST_F(ProjectComparisonTest, TakingTheOtherSidesKeyMakesItTheSame)
{
    Start();
    FunctionList functions;
    functions.FillFromAllKeys(*m_ours);
    const auto listed = [&](GridPoint key) {
        return functions.FindByKeyNumber(m_ours->GetCellIndex(key, 1)) != 0;
    };

    ASSERT_TRUE(m_comparison.CanTakeOtherKey(*m_ours, At(2, 1), 1));
    EXPECT_TRUE(m_comparison.TakeOtherKey(*m_ours, At(2, 1), 1, functions));
    EXPECT_EQ(Codes(*m_ours, At(2, 1)), Codes(*m_theirs, At(2, 1)));
    EXPECT_EQ(Mark(At(2, 1)), CompareMark::Same);
    EXPECT_FALSE(m_comparison.CanTakeOtherKey(*m_ours, At(2, 1), 1));

    // Nothing there: the key here is cleared, and leaves the function list.
    EXPECT_TRUE(m_comparison.TakeOtherKey(*m_ours, At(3, 1), 1, functions));
    EXPECT_FALSE(m_ours->IsKeyProgrammed(At(3, 1)));
    EXPECT_EQ(Mark(At(3, 1)), CompareMark::None);
    EXPECT_FALSE(listed(At(3, 1)));

    EXPECT_TRUE(m_comparison.TakeOtherKey(*m_ours, At(4, 1), 1, functions));
    EXPECT_EQ(Codes(*m_ours, At(4, 1)), Codes(*m_theirs, At(4, 1)));
    EXPECT_TRUE(listed(At(4, 1)));

    // The double key becomes two singles: its own cell takes the key there, the other the next.
    EXPECT_TRUE(m_comparison.TakeOtherKey(*m_ours, At(2, 2), 1, functions));
    EXPECT_EQ(m_ours->GetShapeFlags(At(1, 2), 1), 0);
    EXPECT_EQ(Mark(At(1, 2)), CompareMark::Same);
    EXPECT_EQ(Mark(At(2, 2)), CompareMark::OnlyThere);
    EXPECT_TRUE(m_comparison.TakeOtherKey(*m_ours, At(2, 2), 1, functions));
    EXPECT_EQ(m_comparison.GetSummary(), "1 option");
}

TEST_F(ProjectComparisonTest, AShapeIsTakenWhereTheNeighboursAreFree)
{
    // The other way round: two singles here, a double key there.
    std::swap(m_ours, m_theirs);
    Start();
    FunctionList functions;
    EXPECT_EQ(Mark(At(1, 2)), CompareMark::Changed);
    // Its neighbour here is programmed: the key stays single and still differs.
    EXPECT_TRUE(m_comparison.TakeOtherKey(*m_ours, At(1, 2), 1, functions));
    EXPECT_EQ(m_ours->GetShapeFlags(At(1, 2), 1), 0);
    EXPECT_EQ(Mark(At(1, 2)), CompareMark::Changed);
    ASSERT_TRUE(m_ours->ClearKey(2, 2, 1, true));
    ASSERT_TRUE(m_comparison.Follow(*m_ours, m_ours->GetContentSignature()));
    EXPECT_TRUE(m_comparison.TakeOtherKey(*m_ours, At(1, 2), 1, functions));
    EXPECT_EQ(m_ours->GetShapeFlags(At(1, 2), 1), ShapeRight);
    EXPECT_EQ(Mark(At(2, 2)), CompareMark::Same);
}

TEST_F(ProjectComparisonTest, AKeyboardKeepsNoNamesSoTheKeysOwnStays)
{
    Start(CompareSource::Keyboard);
    EXPECT_EQ(m_comparison.GetTexts(*m_ours, 0, 1).title, "Compared with the keyboard");
    EXPECT_FALSE(Contains(m_comparison.GetTexts(*m_ours, At(2, 1), 1).otherKey, "Name:"));
    FunctionList functions;
    ASSERT_TRUE(m_ours->SetKeyTexts("Espresso", "M1,S+,K0x06", At(2, 1), 1));
    ASSERT_TRUE(m_comparison.Follow(*m_ours, m_ours->GetContentSignature()));
    EXPECT_TRUE(m_comparison.TakeOtherKey(*m_ours, At(2, 1), 1, functions));
    std::string name;
    ASSERT_TRUE(m_ours->GetKeyTexts(&name, nullptr, At(2, 1), 1));
    EXPECT_EQ(name, "Espresso");
    EXPECT_EQ(Mark(At(2, 1)), CompareMark::Same);
}
