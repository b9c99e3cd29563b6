#include "editor/EditorDocument.h"

#include "device/UsbVendorId.h"
#include "editor/EditorPrompts.h"
#include "files/LegacyLayoutFile.h"
#include "files/ProjectOpen.h"
#include "keycodes/NumberFormat.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"

namespace {

// The description of the format's entry in a "description|patterns|..." filter; the number when
// the filter has no such entry.
std::string FilterDescription(std::string filter, uint8_t format)
{
    std::string description;
    std::string patterns;
    for (uint8_t entry = 1; entry <= format; ++entry) {
        if (filter.empty()) {
            return FormatDecimal(format);
        }
        SplitAt(filter, description, '|');
        SplitAt(filter, patterns, '|');
    }
    return description;
}

} // namespace

EditorDocument::EditorDocument() = default;
EditorDocument::~EditorDocument() = default;

void EditorDocument::SetVendorId(uint16_t vendorId)
{
    m_vendorId = vendorId;
    if (m_keyboard) {
        ApplyVendorId(*m_keyboard, m_vendorId);
    }
}

bool EditorDocument::Create(uint8_t typeId)
{
    m_keyboard = CreateKeyboard(typeId);
    if (m_keyboard) {
        ApplyVendorId(*m_keyboard, m_vendorId);
    }
    m_filePath.clear();
    m_readOnly = false;
    m_fileFormat = 0;
    TakeSavedSignature();
    return m_keyboard != nullptr;
}

void EditorDocument::Adopt(std::unique_ptr<Keyboard> keyboard, const std::string& path, uint8_t fileFormat)
{
    m_keyboard = std::move(keyboard);
    SetVendorId(m_vendorId);
    m_filePath = path;
    m_readOnly = false;
    m_fileFormat = fileFormat;
    TakeSavedSignature();
}

void EditorDocument::ReplaceKeyboard(std::unique_ptr<Keyboard> keyboard)
{
    m_keyboard = std::move(keyboard);
    SetVendorId(m_vendorId);
}

void EditorDocument::Close()
{
    m_keyboard.reset();
}

bool EditorDocument::HasUnsavedChanges() const
{
    return m_keyboard != nullptr && m_keyboard->GetContentSignature() != m_savedSignature;
}

bool EditorDocument::AskSaveChanges(EditorPrompts& prompts, const std::function<bool()>& save) const
{
    if (!HasUnsavedChanges()) {
        return true;
    }
    switch (prompts.Ask(LoadText(IDS_MSG_SAVE_CHANGES), IDS_TITLE_WARNING, PromptButtons::YesNoCancel)) {
    case PromptAnswer::Yes:
        return save();
    case PromptAnswer::No:
        return true;
    case PromptAnswer::Cancel:
        break;
    }
    return false;
}

bool EditorDocument::Save(const std::string& path, uint8_t format, EditorPrompts& prompts)
{
    if (m_keyboard == nullptr) {
        return false;
    }
    uint8_t fileFormat = format != 0 ? format : m_fileFormat;
    if (SaveProjectFile(*m_keyboard, path.empty() ? m_filePath : path, &fileFormat) != SaveOutcome::Saved) {
        prompts.ShowMessage(LoadText(IDS_MSG_CANNOT_SAVE), IDS_TITLE_ERROR, MessageIcon::Error);
        return false;
    }
    m_fileFormat = fileFormat;
    m_readOnly = false;
    TakeSavedSignature();
    return true;
}

uint8_t EditorDocument::GetSaveFormat() const
{
    return m_fileFormat != 0 ? m_fileFormat : GetOwnFormat();
}

uint8_t EditorDocument::GetOwnFormat() const
{
    if (const auto* legacy = dynamic_cast<const LegacyKeyboard*>(m_keyboard.get())) {
        return MatchingLegacyLayoutFormat(legacy->GetTypeCode());
    }
    return 1;
}

bool EditorDocument::ReadsBack(uint8_t format) const
{
    if (m_keyboard == nullptr) {
        return false;
    }
    const uint8_t written = format != 0 ? format : GetSaveFormat();
    if (written == GetOwnFormat()) {
        return true;
    }
    // The ZQ-1100 reader takes only its own type's header and code slots; a left side is written
    // line for line as the whole 16-scan keyboard.
    const auto* legacy = dynamic_cast<const LegacyKeyboard*>(m_keyboard.get());
    return legacy != nullptr && written == LegacyLayoutLeftSide && GetOwnFormat() == LegacyLayoutSixteen;
}

uint8_t EditorDocument::GetSaveAsFormat() const
{
    return ReadsBack(GetSaveFormat()) ? GetSaveFormat() : GetOwnFormat();
}

bool EditorDocument::ConfirmSaveFormat(uint8_t format, EditorPrompts& prompts) const
{
    if (m_keyboard == nullptr || ReadsBack(format)) {
        return true;
    }
    std::string filter;
    m_keyboard->GetFileFilter(&filter, nullptr);
    const std::string text =
        ReplaceFirst(ReplaceFirst(LoadText(IDS_MSG_FORMAT_NOT_READ_BACK), "%s",
                                  FilterDescription(filter, format != 0 ? format : GetSaveFormat())),
                     "%n", m_keyboard->GetTypeName());
    return prompts.Ask(text, IDS_TITLE_WARNING, PromptButtons::YesNo) == PromptAnswer::Yes;
}

void EditorDocument::TakeSavedSignature()
{
    m_savedSignature = m_keyboard != nullptr ? m_keyboard->GetContentSignature() : std::string();
}
