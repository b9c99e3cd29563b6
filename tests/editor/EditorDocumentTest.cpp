#include "RecordingPrompts.h"
#include "TempFolder.h"

#include "editor/EditorDocument.h"
#include "editor/EditorPrompts.h"
#include "files/ProjectOpen.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/UsbKeyboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

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

namespace {

// Saved in the format and opened again: the same type with the same content, without errors.
bool RoundTrips(Keyboard& keyboard, uint8_t format, const std::string& path)
{
    uint8_t written = format;
    if (SaveProjectFile(keyboard, path, &written) != SaveOutcome::Saved) {
        return false;
    }
    const OpenedProject back = OpenProjectFile(path);
    return back.outcome == OpenOutcome::Opened && back.keyboard->GetTypeId() == keyboard.GetTypeId() &&
           back.keyboard->GetContentSignature() == keyboard.GetContentSignature();
}

uint8_t FormatCount(const Keyboard& keyboard)
{
    std::string filter;
    keyboard.GetFileFilter(&filter, nullptr);
    return static_cast<uint8_t>(std::count(filter.begin(), filter.end(), '|') / 2);
}

} // namespace

// The rule Save As warns by, against what the readers really do, for every type and format.
TEST(EditorDocument, ReadsBackIsWhatARoundTripGivesForEveryTypeAndFormat)
{
    // The formats whose files open again, by type id; the ZQ-1100 v1 types read only 7/3 scans.
    const std::set<uint8_t> readable[] = {{1}, {1}, {1}, {1}, {1}, {1}, {1}, {2}, {2}, {1}, {1, 3}};
    ASSERT_EQ(std::size(readable), GetKeyboardTypeCount());
    TempFolder folder;
    for (uint8_t type = 0; type < GetKeyboardTypeCount(); ++type) {
        EditorDocument document;
        ASSERT_TRUE(document.Create(type));
        Keyboard& keyboard = *document.GetKeyboard();
        // A v1 key holds only the initial mode: a file could not carry another one.
        ASSERT_TRUE(keyboard.SetKeyTexts("Tea", type >= 7 ? "I28; 10" : "M1,S+,K0x04", 2, 1, 1));
        std::set<uint8_t> found;
        for (uint8_t format = 1; format <= FormatCount(keyboard); ++format) {
            const bool roundTrips = RoundTrips(keyboard, format, folder.File("p" + std::to_string(type)));
            EXPECT_EQ(document.ReadsBack(format), roundTrips)
                << "type " << int(type) << " format " << int(format);
            if (roundTrips) {
                found.insert(format);
            }
        }
        EXPECT_EQ(found, readable[type]) << "type " << int(type);
        // A new project offers its own format; one saved in a format that does not read back
        // offers its own again, one that does is kept.
        EXPECT_TRUE(document.ReadsBack(0)) << "type " << int(type);
        EXPECT_EQ(document.GetSaveAsFormat(), *readable[type].begin()) << "type " << int(type);
        for (uint8_t format = 1; format <= FormatCount(keyboard); ++format) {
            document.SetFileFormat(format);
            EXPECT_EQ(document.GetSaveAsFormat(),
                      readable[type].count(format) != 0 ? format : *readable[type].begin())
                << "type " << int(type) << " format " << int(format);
        }
    }
}

TEST(EditorDocument, AFormatThatDoesNotReadBackIsSavedOnlyOnYes)
{
    EditorDocument document;
    ASSERT_TRUE(document.Create(7));
    RecordingPrompts prompts;
    EXPECT_TRUE(document.ConfirmSaveFormat(2, prompts));
    EXPECT_TRUE(document.ConfirmSaveFormat(0, prompts));
    EXPECT_TRUE(prompts.shown.empty());
    prompts.answer = PromptAnswer::No;
    EXPECT_FALSE(document.ConfirmSaveFormat(1, prompts));
    prompts.answer = PromptAnswer::Yes;
    EXPECT_TRUE(document.ConfirmSaveFormat(1, prompts));
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>(2, "A file saved as \"ZQ-1100 16 scans (*.txt)\" cannot be "
                                          "read back as ZQ-1100 v1 single (7 scans).\nSave it anyway?"));
}
