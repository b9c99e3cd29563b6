// The key clipboard (one key's name and codes: copy, cut, paste, swap), pasting an entry of the
// function list, and clearing keys. The function list follows every key whose programming changes;
// the caller redraws.
#pragma once

#include "model/GridPoint.h"

#include <cstdint>
#include <string>

class EditorPrompts;
class FunctionList;
class Keyboard;

class KeyClipboard
{
public:
    bool IsEmpty() const { return m_codes.empty(); }
    const std::string& GetName() const { return m_name; }
    const std::string& GetCodes() const { return m_codes; }
    void Clear();

    void Copy(Keyboard& keyboard, GridPoint key);
    // Codes the key cannot take are refused with a message. A programmed key is replaced only
    // when confirmReplace is off or the user agrees. True when the key holds the clipboard after.
    bool Paste(Keyboard& keyboard, GridPoint key, FunctionList& functions, EditorPrompts& prompts,
               bool confirmReplace);
    // The key takes the clipboard's programming, the clipboard the key's; nothing is asked.
    void Swap(Keyboard& keyboard, GridPoint key, FunctionList& functions, EditorPrompts& prompts);

private:
    std::string m_name;
    std::string m_codes;
};

// Asks whether the key's programming (old name) is to be replaced by the new one.
bool AskReplaceKey(EditorPrompts& prompts, const std::string& oldName, const std::string& newName);
// Programs the key with the function list's entry (1-based index); false when nothing changed.
bool PasteFunctionEntry(Keyboard& keyboard, GridPoint key, FunctionList& functions, uint16_t index,
                        EditorPrompts& prompts, bool confirmReplace);
// Clears the key of the current layout, or every key of every layout when key is 0; their entries
// leave the function list. The current layout stays.
void ClearKeys(Keyboard& keyboard, GridPoint key, FunctionList& functions);
