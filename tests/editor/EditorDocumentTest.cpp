#include "editor/EditorDocument.h"
#include "editor/EditorPrompts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/UsbKeyboard.h"

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

namespace {

// The window's vendor id reaches every project it holds: made, opened, converted.
TEST(EditorDocument, EveryProjectLooksForTheChosenVendorId)
{
    EditorDocument document;
    document.SetVendorId(0x1209);
    ASSERT_TRUE(document.Create(6));
    EXPECT_EQ(dynamic_cast<UsbKeyboard&>(*document.GetKeyboard()).GetVendorId(), 0x1209);
    document.ReplaceKeyboard(CreateKeyboard(1));
    EXPECT_EQ(dynamic_cast<UsbKeyboard&>(*document.GetKeyboard()).GetVendorId(), 0x1209);
    document.Adopt(CreateKeyboard(4), "x.zqp", 1);
    EXPECT_EQ(dynamic_cast<UsbKeyboard&>(*document.GetKeyboard()).GetVendorId(), 0x1209);
    document.SetVendorId(0x16C0);
    EXPECT_EQ(dynamic_cast<UsbKeyboard&>(*document.GetKeyboard()).GetVendorId(), 0x16C0);
    document.Create(7); // a ZQ-1100 has none and is left alone
    EXPECT_NE(document.GetKeyboard(), nullptr);
}

} // namespace
