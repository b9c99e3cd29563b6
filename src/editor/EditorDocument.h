// The project the editor window works on: the keyboard, its file and whether it has unsaved
// changes.
#pragma once

#include "model/UsbKeyboard.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class EditorPrompts;
class Keyboard;

class EditorDocument
{
public:
    EditorDocument();
    ~EditorDocument();

    // Replaces the project by an empty one of the type, without a file; false when the
    // catalogue has no such type (the window is then without a project).
    bool Create(uint8_t typeId);
    // Takes a loaded project; its file format index is the one the loader reported.
    void Adopt(std::unique_ptr<Keyboard> keyboard, const std::string& path, uint8_t fileFormat);
    // Another keyboard for the same project (converted, or restored by undo): the file, its
    // format and the saved signature stay.
    void ReplaceKeyboard(std::unique_ptr<Keyboard> keyboard);
    void Close();
    Keyboard* GetKeyboard() const { return m_keyboard.get(); }
    // The USB vendor id every project is given from now on, the present one included.
    void SetVendorId(uint16_t vendorId);

    // An exact comparison with the signature taken at creation, load or save: a change of
    // letter case in a name is a change.
    bool HasUnsavedChanges() const;
    // Whether a signature of this project's keyboard is the one it was last saved or opened with.
    bool IsSavedSignature(const std::string& signature) const { return signature == m_savedSignature; }
    // True when the caller may go on: nothing to save, the answer No, or Yes and save() true.
    bool AskSaveChanges(EditorPrompts& prompts, const std::function<bool()>& save) const;
    // Saves to the path (empty: the project's own) in the format (0: the current one). On
    // failure the message is shown and the project, its path and format stay as they were.
    bool Save(const std::string& path, uint8_t format, EditorPrompts& prompts);
    void TakeSavedSignature();

    const std::string& GetPath() const { return m_filePath; }
    void SetPath(const std::string& path) { m_filePath = path; }
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    uint8_t GetFileFormat() const { return m_fileFormat; }
    // The format a save writes: the chosen one, else the one that matches the project's type.
    uint8_t GetSaveFormat() const;
    // Whether a file written in the format (0: GetSaveFormat) opens again as this project, whole.
    bool ReadsBack(uint8_t format) const;
    // The format Save As offers: the present one when it reads back, else the type's own.
    uint8_t GetSaveAsFormat() const;
    // True when the format reads back, or the user wants a file that does not all the same.
    bool ConfirmSaveFormat(uint8_t format, EditorPrompts& prompts) const;
    void SetFileFormat(uint8_t format) { m_fileFormat = format; }

private:
    // The format the project's type is read in.
    uint8_t GetOwnFormat() const;

    std::unique_ptr<Keyboard> m_keyboard;
    std::string m_filePath;
    std::string m_savedSignature;
    bool m_readOnly = false;
    uint8_t m_fileFormat = 0;
    uint16_t m_vendorId = kZqUsbVendorId;
};
