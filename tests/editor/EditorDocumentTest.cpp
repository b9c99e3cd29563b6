#include "editor/EditorDocument.h"
#include "editor/EditorPrompts.h"
#include "model/Keyboard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordingPrompts : EditorPrompts
{
    PromptAnswer answer = PromptAnswer::Cancel;
    std::vector<std::string> shown;

    PromptAnswer Ask(const std::string& text, uint32_t, PromptButtons) override
    {
        shown.push_back(text);
        return answer;
    }
    void ShowMessage(const std::string& text, uint32_t, MessageIcon) override { shown.push_back(text); }
};

} // namespace

TEST(EditorDocument, FailedSaveKeepsPathFormatAndUnsavedState)
{
    EditorDocument document;
    ASSERT_TRUE(document.Create(6));
    document.SetPath("/old/place.zqp");
    ASSERT_TRUE(document.GetKeyboard()->SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    RecordingPrompts prompts;
    EXPECT_FALSE(document.Save("/nonexistent-folder/x.zqp", 2, prompts));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"Can not save file to disk."});
    EXPECT_EQ(document.GetPath(), "/old/place.zqp");
    EXPECT_EQ(document.GetFileFormat(), 0);
    EXPECT_TRUE(document.HasUnsavedChanges());
}

TEST(EditorDocument, SaveQuestionOnlyForChangesAndItsThreeAnswers)
{
    EditorDocument document;
    ASSERT_TRUE(document.Create(6));
    RecordingPrompts prompts;
    int saves = 0;
    auto save = [&saves] { return ++saves > 0; };
    EXPECT_TRUE(document.AskSaveChanges(prompts, save));
    EXPECT_TRUE(prompts.shown.empty());
    ASSERT_TRUE(document.GetKeyboard()->SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
    EXPECT_FALSE(document.AskSaveChanges(prompts, save));
    prompts.answer = PromptAnswer::No;
    EXPECT_TRUE(document.AskSaveChanges(prompts, save));
    prompts.answer = PromptAnswer::Yes;
    EXPECT_TRUE(document.AskSaveChanges(prompts, save));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(prompts.shown.size(), 3u);
    EXPECT_FALSE(document.Create(11));
    EXPECT_EQ(document.GetKeyboard(), nullptr);
}
