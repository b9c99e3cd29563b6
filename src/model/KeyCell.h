// One key position (column, row, layout) with the programming of its key, and the key capture.
#pragma once

#include "model/KeyMessage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

constexpr int kKeyCellMaxCodes = 16;
constexpr uint8_t kNoLastInsert = 255;

// Operations marked "forwards" act on the master cell when the cell belongs to a merged key whose
// master is another cell. Positions of codes count from 1.
class KeyCell
{
public:
    virtual ~KeyCell() = default;
    KeyCell& operator=(const KeyCell&) = delete;

    // A copy of this cell's master, as an edit copy is made.
    virtual std::unique_ptr<KeyCell> Clone() const = 0;

    uint8_t GetCapacity() const;             // forwards
    uint8_t GetMaxMode() const;              // forwards
    virtual uint8_t GetMaxSimpleKey() const; // forwards
    virtual uint8_t GetMaxKeyType() const;   // forwards
    virtual bool IsLayoutSwitch() const;
    virtual std::string GetModeName(uint8_t mode) const = 0;
    virtual std::string GetKeyTypeName(uint8_t type) const = 0;
    virtual bool SetCapacity(uint8_t n) = 0;
    virtual uint8_t GetImageIndex() const = 0; // forwards
    bool SetUserData(uint32_t value);          // forwards
    uint32_t GetUserData() const;              // forwards
    uint16_t GetKeyNumber() const { return m_keyNumber; }
    // Any pointer may be null. Returns the key number.
    uint16_t GetPosition(uint16_t* column, uint16_t* row, uint8_t* layout) const;
    bool SetPosition(uint16_t keyNumber, uint16_t column, uint16_t row, uint8_t layout);
    bool SnapshotCodesText();
    std::string GetDefaultName() const;
    bool IsModified() const;
    virtual bool IsProgrammed() const;  // forwards
    uint8_t GetCodeCount() const;       // forwards
    uint8_t GetMode() const;            // forwards
    uint8_t GetSimpleKey() const;       // forwards
    virtual uint8_t GetKeyType() const; // forwards
    std::string GetName() const;        // forwards
    // The code at a position, 0 outside 1..code count. Forwards.
    uint32_t GetCode(int index) const;
    virtual std::string GetCodeDisplayText(int index) const = 0; // forwards
    KeyCell* GetMaster() { return m_master != nullptr ? m_master : this; }
    const KeyCell* GetMaster() const { return m_master != nullptr ? m_master : this; }
    bool SetMaster(KeyCell* cell);
    bool IsSameKeyAs(const KeyCell* cell) const;
    bool IsMerged() const { return m_master != nullptr; }
    virtual bool CaptureKeyDown(const KeyMessage& message, int position) = 0;
    virtual bool CaptureKeyUp(const KeyMessage& message, int position) = 0;
    // What a key press of the family's table row records at position; capture looks the row up
    // by the message's set-1 code.
    virtual bool CaptureRow(int row, int position) = 0;
    bool CaptureRepeat(const KeyMessage& message);
    bool IsBackspaceHeld() const { return m_backspaceRepeats == kHeldRepeats; }
    bool DeleteLastCode() { return DeleteLastCodes(1); }
    virtual bool DeleteLastCodes(int n) = 0;
    bool ResetRepeatCounters();
    bool SetName(const std::string& text); // forwards
    bool SetMode(uint8_t value);           // forwards
    bool SetSimpleKey(uint8_t value);      // forwards
    virtual bool SetKeyType(uint8_t type); // forwards
    // position: where new codes go (code count + 1 appends). Forwards.
    bool HandleKeyMessage(const KeyMessage& message, int position, bool* handled);
    virtual bool IsEnterHeld();
    bool IsEscHeld() const { return m_escRepeats == kHeldRepeats; }
    // flags: the byte kept beside a USB record; may be null where the family has none. Forward.
    virtual bool SaveToBytes(uint8_t* record, size_t length, uint8_t* flags) const = 0;
    virtual bool LoadFromBytes(const uint8_t* record, size_t length, uint8_t flags) = 0;
    virtual bool ParseCodesText(const std::string& text) = 0; // forwards
    virtual std::string FormatCodesText(int form) const = 0;  // forwards
    bool UndoLastInsert();                                    // forwards
    virtual bool Clear(bool resetName, bool unlink) = 0;
    virtual bool AcceptsCodes() const = 0; // forwards

protected:
    static constexpr uint8_t kHeldRepeats = 4;

    KeyCell(uint16_t keyNumber, uint16_t column, uint16_t row, uint8_t layout, uint8_t capacity);
    // Copies the programming of the source's master, as an edit copy needs it.
    KeyCell(const KeyCell& source);

    // The master answering for this cell, or null when the cell answers itself. Forwarding is
    // one level: a cell that answers for another never forwards again, even through a cycle.
    KeyCell* GetForwardTarget() const;

    // Marks a master as answering for the duration of one forwarded call.
    class ForwardScope
    {
    public:
        explicit ForwardScope(const KeyCell& master) : m_cell(master), m_previous(master.m_answering)
        {
            m_cell.m_answering = true;
        }
        ~ForwardScope() { m_cell.m_answering = m_previous; }
        ForwardScope(const ForwardScope&) = delete;
        ForwardScope& operator=(const ForwardScope&) = delete;

    private:
        const KeyCell& m_cell;
        bool m_previous;
    };

    // Zeroes the code storage from the 0-based index on.
    void ZeroCodesFrom(int index);
    // Removes the last n codes one by one; false when the cell ran out first.
    bool DropLastCodes(int n);

    uint8_t m_capacity = 0;
    uint8_t m_maxMode = 0;
    uint8_t m_maxSimpleKey = 0;
    uint8_t m_maxKeyType = 0;
    uint16_t m_keyNumber = 0;
    uint16_t m_column = 0;
    uint16_t m_row = 0;
    uint8_t m_layout = 0;
    uint8_t m_codeCount = 0;
    uint8_t m_mode = 0;
    uint8_t m_simpleKey = 0;
    uint8_t m_keyType = 0;
    std::string m_name;
    std::string m_initialCodesText;
    KeyCell* m_master = nullptr;
    uint32_t m_userData = 0;
    uint8_t m_enterRepeats = 0;
    uint8_t m_escRepeats = 0;
    uint8_t m_backspaceRepeats = 0;
    uint8_t m_lastInsert = kNoLastInsert;
    uint32_t m_codes[kKeyCellMaxCodes] = {};

private:
    mutable bool m_answering = false;
};
