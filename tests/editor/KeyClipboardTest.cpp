#include "RecordingPrompts.h"

#include "editor/FunctionList.h"
#include "editor/KeyClipboard.h"
#include "model/Keyboard.h"
#include "model/Zq2200Keyboard.h"

#include "KeyCells.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kTea = "M1,S+,K0x17";
constexpr const char* kMilk = "M1,S+,K0x10";

// Each entry as its name and key number (0 for a function of no key).
std::vector<std::string> Entries(const FunctionList& functions)
{
    std::vector<std::string> entries;
    for (uint16_t index = 1; index <= functions.GetCount(); ++index) {
        const FunctionEntry* entry = functions.GetEntry(index);
        entries.push_back(entry->name + " " + std::to_string(entry->keyNumber));
    }
    return entries;
}

class KeyClipboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_keyboard.SetKeyTexts("Tea", kTea, At(1, 1), 1));
        ASSERT_TRUE(m_keyboard.SetKeyTexts("Milk", kMilk, At(2, 1), 1));
        m_functions.FillFromAllKeys(m_keyboard);
    }

    std::pair<std::string, std::string> Texts(GridPoint key)
    {
        std::string name;
        std::string codes;
        m_keyboard.GetKeyTexts(&name, &codes, key, 1);
        return {name, codes};
    }

    Zq2200Keyboard m_keyboard{1};
    FunctionList m_functions;
    RecordingPrompts m_prompts;
    KeyClipboard m_clipboard;
};

TEST_F(KeyClipboardTest, PasteAsksBeforeReplacingAProgrammedKeyAndTheListFollows)
{
    EXPECT_FALSE(m_clipboard.Paste(m_keyboard, At(3, 1), m_functions, m_prompts, true)) << "empty";
    m_clipboard.Copy(m_keyboard, At(1, 1));
    EXPECT_TRUE(m_clipboard.Paste(m_keyboard, At(3, 1), m_functions, m_prompts, true));
    EXPECT_EQ(Texts(At(3, 1)), (std::pair<std::string, std::string>{"Tea", kTea}));
    EXPECT_TRUE(m_prompts.shown.empty()) << "an empty key is not asked about";
    EXPECT_EQ(Entries(m_functions), (std::vector<std::string>{"Tea 1", "Milk 2", "Tea 3"}));

    m_prompts.answer = PromptAnswer::No;
    EXPECT_FALSE(m_clipboard.Paste(m_keyboard, At(2, 1), m_functions, m_prompts, true));
    EXPECT_EQ(Texts(At(2, 1)).first, "Milk");
    ASSERT_EQ(m_prompts.shown.size(), 1u);
    EXPECT_EQ(m_prompts.shown[0], "Replace key programming of \"Milk\" with\nthe new programming (\"Tea\").");
    EXPECT_TRUE(m_clipboard.Paste(m_keyboard, At(2, 1), m_functions, m_prompts, false));
    EXPECT_EQ(Texts(At(2, 1)).first, "Tea");
    // Milk's entry stays in the list as a function of no key.
    EXPECT_EQ(Entries(m_functions), (std::vector<std::string>{"Tea 1", "Milk 0", "Tea 3", "Tea 2"}));
}

TEST_F(KeyClipboardTest, CodesTheKeyCannotTakeAreRefusedWithAMessage)
{
    Zq2200Keyboard three(3);
    ASSERT_TRUE(three.SetKeyTexts("To layout 3", "L3", At(1, 1), 1));
    m_clipboard.Copy(three, At(1, 1));
    EXPECT_FALSE(m_clipboard.Paste(m_keyboard, At(3, 1), m_functions, m_prompts, false));
    m_clipboard.Swap(m_keyboard, At(1, 1), m_functions, m_prompts);
    EXPECT_EQ(m_prompts.shown.size(), 2u);
    EXPECT_EQ(Texts(At(3, 1)).second, "");
    EXPECT_EQ(Texts(At(1, 1)).first, "Tea");
    EXPECT_EQ(m_clipboard.GetName(), "To layout 3");
}

TEST_F(KeyClipboardTest, SwapExchangesKeyAndClipboardWithoutAsking)
{
    m_clipboard.Copy(m_keyboard, At(1, 1));
    m_clipboard.Swap(m_keyboard, At(2, 1), m_functions, m_prompts);
    EXPECT_EQ(Texts(At(2, 1)).first, "Tea");
    EXPECT_EQ(m_clipboard.GetName(), "Milk");
    EXPECT_EQ(m_clipboard.GetCodes(), kMilk);
    EXPECT_TRUE(m_prompts.shown.empty());
}

TEST_F(KeyClipboardTest, ClearKeysTakesTheirEntriesAndKeepsTheLayout)
{
    Zq2200Keyboard three(3);
    ASSERT_TRUE(three.SetKeyTexts("Tea", kTea, At(1, 1), 1));
    ASSERT_TRUE(three.SetKeyTexts("Total", kMilk, At(2, 2), 3));
    ASSERT_TRUE(three.SetCurrentLayout(2));
    FunctionList functions;
    functions.FillFromAllKeys(three);
    ASSERT_EQ(functions.GetCount(), 2u);
    auto programmed = [&three](GridPoint key, uint8_t layout) {
        std::string name;
        std::string codes;
        return three.GetKeyTexts(&name, &codes, key, layout) && !codes.empty();
    };
    ClearKeys(three, At(1, 1), functions); // layout 2's key, which is empty
    EXPECT_TRUE(programmed(At(1, 1), 1));
    ClearKeys(three, 0, functions);
    EXPECT_FALSE(programmed(At(1, 1), 1));
    EXPECT_FALSE(programmed(At(2, 2), 3));
    EXPECT_EQ(Entries(functions), (std::vector<std::string>{"Tea 0", "Total 0"}));
    EXPECT_EQ(three.GetCurrentLayout(), 2);
}

TEST_F(KeyClipboardTest, AFunctionEntryProgramsTheKey)
{
    m_prompts.answer = PromptAnswer::Yes;
    EXPECT_FALSE(PasteFunctionEntry(m_keyboard, At(1, 1), m_functions, 9, m_prompts, true)) << "no entry";
    const uint16_t milk = 1 + (m_functions.GetEntry(1)->name == "Milk" ? 0 : 1);
    EXPECT_TRUE(PasteFunctionEntry(m_keyboard, At(3, 1), m_functions, milk, m_prompts, true));
    EXPECT_EQ(Texts(At(3, 1)), (std::pair<std::string, std::string>{"Milk", kMilk}));
    EXPECT_TRUE(m_prompts.shown.empty());
    EXPECT_TRUE(PasteFunctionEntry(m_keyboard, At(1, 1), m_functions, milk, m_prompts, true));
    EXPECT_EQ(m_prompts.shown.size(), 1u) << "a programmed key is asked about";
    EXPECT_EQ(Texts(At(1, 1)).first, "Milk");
}

} // namespace
