// The abstract keyboard project: a grid of key cells over one or more layouts, a cursor,
// key shapes and the keyboard-wide options. Families supply the cells and everything
// file- and device-specific.
#pragma once

#include "model/GridPoint.h"

#include <cstdint>
#include <memory>
#include <string>

class KeyCell;
class ProgressSink;
struct KeyMessage;

// Shape neighbour bits and shape change codes.
enum ShapeBits : uint8_t {
    ShapeAbove = 0x01,
    ShapeBelow = 0x02,
    ShapeLeft = 0x04,
    ShapeRight = 0x08,
    ShapeRightBelow = 0x10,
    ShapeLeftBelow = 0x20,
    ShapeRightAbove = 0x40,
    ShapeLeftAbove = 0x80,
    ShapeDiagonals = 0xF0,
};

class Keyboard
{
public:
    Keyboard() = default;
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;
    virtual ~Keyboard();

    // Cursor and grid.
    virtual bool SetCurrentLayout(uint8_t layout);
    virtual bool SetCurrentPosition(uint16_t column, uint16_t row);
    virtual bool SetCurrentPosition(GridPoint point);
    virtual bool MoveLeft();
    virtual bool MoveRight();
    virtual bool MoveUp();
    virtual bool MoveDown();
    virtual bool MoveToNextKey() = 0;
    virtual bool MoveToPreviousKey() = 0;
    virtual bool GetCurrentPosition(GridPoint* point) const;
    virtual bool GetGridSize(GridPoint* size) const;
    virtual bool GetGridSize(uint16_t* columns, uint16_t* rows) const;
    virtual bool IsValidPosition(uint16_t column, uint16_t row) const;
    virtual bool IsValidPosition(GridPoint point) const;
    virtual bool IsSameKey(uint16_t column1, uint16_t row1, uint16_t column2, uint16_t row2, uint8_t layout1,
                           uint8_t layout2);
    virtual bool IsSameKey(GridPoint first, GridPoint second);
    virtual uint8_t GetLayoutCount() const { return m_layoutCount; }
    virtual uint8_t GetCurrentLayout() const { return m_curLayout; }
    virtual std::string GetLayoutName(uint8_t layout) const = 0;
    virtual bool CanEditScanCodes() const { return false; }

    // Keys.
    virtual bool ClearKey(uint16_t column, uint16_t row);
    virtual bool ClearKey(GridPoint point);
    virtual bool ClearKey();
    virtual bool ClearKey(uint16_t column, uint16_t row, uint8_t layout, bool resetName);
    virtual bool GetCellByIndex(uint16_t index, KeyCell** cell) = 0;
    virtual bool IsKeyProgrammed(uint16_t column, uint16_t row);
    virtual bool IsKeyProgrammed(GridPoint point);
    virtual bool IsKeyProgrammed();
    virtual bool IsMergedCell(uint16_t column, uint16_t row);
    virtual bool IsMergedCell(GridPoint point);
    virtual bool IsMergedCell();
    virtual bool CurrentCellAcceptsCodes();
    virtual uint8_t GetKeyImageIndex(uint16_t column, uint16_t row);
    virtual uint8_t GetKeyImageIndex(GridPoint point);
    virtual uint8_t GetKeyImageIndex();
    virtual bool UpdateCell(KeyCell* cell);
    virtual bool GetCell(uint16_t column, uint16_t row, uint8_t layout, KeyCell** cell);
    virtual bool GetCell(uint16_t column, uint16_t row, KeyCell** cell);
    virtual bool GetCell(GridPoint point, KeyCell** cell);
    virtual bool GetCurrentCell(KeyCell** cell);
    virtual uint16_t GetCellIndex(uint16_t column, uint16_t row, uint8_t layout) const = 0;
    virtual uint16_t GetCellIndex(GridPoint point, uint8_t layout) const;
    virtual uint16_t GetCellIndex() const;
    virtual bool GetCellPosition(uint16_t index, uint16_t* column, uint16_t* row, uint8_t* layout) = 0;
    // The registered edit copy of the key at a position stays the keyboard's: EndEditCell releases
    // it, the next BeginEditCell replaces it. Column and row 0 give false here: the detached cell
    // comes only as an owned pointer, from the form below.
    virtual bool BeginEditCell(uint16_t column, uint16_t row, KeyCell** copy, uint8_t layout);
    virtual bool BeginEditCell(GridPoint point, KeyCell** copy);
    virtual bool BeginEditCell(KeyCell** copy);
    // Column and row 0: a fresh empty cell of the family's kind for the caller to keep, never the
    // registered copy. Any other position gives false and no cell.
    bool BeginEditCell(uint16_t column, uint16_t row, std::unique_ptr<KeyCell>* detached, uint8_t layout);
    // Gives the registered copy's codes and name to its key and releases the copy; false when the
    // copy is not the registered one or its key is gone, else whether the key took the codes.
    virtual bool EndEditCell(KeyCell** copy);

    // Shapes.
    virtual uint8_t GetShapeFlags(uint16_t column, uint16_t row, uint8_t layout);
    virtual uint8_t GetShapeFlags(GridPoint point, uint8_t layout);
    virtual uint8_t GetShapeFlags();
    virtual uint8_t GetAllowedShapeChanges(uint16_t column, uint16_t row, uint8_t layout);
    virtual uint8_t GetAllowedShapeChanges(GridPoint point, uint8_t layout);
    virtual uint8_t GetAllowedShapeChanges();
    virtual bool ChangeShape(uint16_t column, uint16_t row, uint8_t change, uint8_t layout);
    virtual bool ChangeShape(GridPoint point, uint8_t change, uint8_t layout);

    // Key texts.
    virtual bool GetKeyTexts(std::string* name, std::string* codes, uint16_t column, uint16_t row,
                             uint8_t layout);
    virtual bool GetKeyTexts(std::string* name, std::string* codes, GridPoint point, uint8_t layout);
    virtual bool GetKeyTexts(std::string* name, std::string* codes);
    virtual bool SetKeyTexts(const std::string& name, const std::string& codes, uint16_t column, uint16_t row,
                             uint8_t layout);
    virtual bool SetKeyTexts(const std::string& name, const std::string& codes, GridPoint point,
                             uint8_t layout);
    virtual bool SetKeyTexts(const std::string& name, const std::string& codes);
    virtual bool IsValidKeyTexts(const std::string& codes, uint16_t column, uint16_t row, uint8_t layout);
    virtual bool IsValidKeyTexts(const std::string& codes, GridPoint point, uint8_t layout);
    virtual bool IsValidKeyTexts(const std::string& codes);

    virtual bool MakeSingle(uint16_t column, uint16_t row, uint8_t layout, bool selectCell);
    virtual uint8_t GetAllowedChangesOfSingle(uint16_t column, uint16_t row, uint8_t layout);
    virtual uint8_t GetAllowedChangesOfDouble(uint16_t column, uint16_t row, uint8_t layout);
    virtual bool MergeSingle(uint16_t column, uint16_t row, uint8_t change, uint8_t layout);
    virtual bool ChangeDouble(uint16_t column, uint16_t row, uint8_t change, uint8_t layout);
    virtual bool ChangeQuad(uint16_t column, uint16_t row, uint8_t change, uint8_t layout);
    virtual int SetModeForAllKeys(uint8_t mode);
    virtual int SetSimpleKeyForAllKeys(uint8_t flag);
    virtual bool SetKeyType(uint16_t column, uint16_t row, uint8_t type);
    virtual bool SetKeyType(GridPoint point, uint8_t type);
    virtual bool WouldLoseProgramming(uint16_t column, uint16_t row, uint8_t type);
    virtual bool WouldLoseProgramming(GridPoint point, uint8_t type);

    // Keyboard-wide options.
    virtual bool CanSetKeyBeep() const { return m_beepSettable != 0; }
    virtual bool GetKeyBeep() const { return m_keyBeep != 0; }
    virtual bool SetKeyBeep(bool on);
    virtual bool GetRfidDigitsRange(uint8_t* min, uint8_t* max) const;
    virtual uint8_t GetRfidDigits() const { return m_rfidDigits; }
    virtual bool SetRfidDigits(uint8_t digits);
    virtual bool GetRfidNumericOnly() const { return m_rfidNumericOnly != 0; }
    virtual bool SetRfidNumericOnly(bool on);
    virtual uint8_t GetKeysType() const { return m_keysType; }
    virtual bool SetKeysType(uint8_t type);
    virtual bool GetTypematicRateRange(uint8_t* min, uint8_t* max) const;
    virtual uint8_t GetTypematicRate() const { return m_typematicRate; }
    virtual bool SetTypematicRate(uint8_t rate);
    virtual bool GetTypematicDelayRange(uint8_t* min, uint8_t* max) const;
    virtual uint8_t GetTypematicDelay() const { return m_typematicDelay; }
    virtual bool SetTypematicDelay(uint8_t delay);
    virtual uint8_t GetKeyPause() const { return m_keyPause; }
    virtual bool SetKeyPause(uint8_t milliseconds);

    // RFID prefix and suffix. Style 1: a code byte plus an extended flag each; 2: captured keys.
    virtual uint8_t GetAffixStyle() const = 0;
    virtual uint8_t GetAffixKeyCode(bool isPrefix) const;
    virtual bool SetAffixKeyCode(bool isPrefix, uint8_t code);
    virtual bool GetAffixExtended(bool isPrefix) const;
    virtual bool SetAffixExtended(bool isPrefix, bool on);
    virtual bool CaptureAffixKey(const KeyMessage& message, bool isPrefix, bool* handled);
    virtual bool IsAffixFull(bool isPrefix);
    virtual bool ClearAffix(bool isPrefix);
    virtual std::string GetAffixText(std::string* text, bool isPrefix, bool modifierPart);
    virtual std::string GetCodeEntryLabel(int index) const;

    // Conversions to other variants of the family. Convert answers a new project for the caller to
    // keep, or null when the change happened in place (changedInPlace) or is not offered.
    virtual uint8_t GetConversionCount() const { return 0; }
    virtual bool GetConversionTitle(uint8_t index, std::string* text) const;
    virtual bool GetConversionWarning(uint8_t index, std::string* text) const;
    virtual std::unique_ptr<Keyboard> Convert(uint8_t index, bool* changedInPlace);

    // Type, files and signature.
    virtual std::string GetTypeName() const = 0;
    virtual uint8_t GetTypeId() const = 0;
    virtual std::string GetFileFilter(std::string* filter, std::string* defaultExtension) const = 0;
    virtual bool SaveFile(const std::string& path, uint8_t* format) = 0;
    virtual bool LoadFile(const std::string& path, uint8_t* format) = 0;
    // The file's bytes in a string, for the editor's undo: what SaveFile would write, read back as
    // LoadFile reads them, with no folder and no sync. False for a project that has no file.
    virtual bool SaveToMemory(std::string& /*text*/, uint8_t* /*format*/) { return false; }
    virtual bool LoadFromMemory(const std::string& /*text*/, uint8_t* /*format*/) { return false; }
    virtual std::string GetContentSignature() = 0;
    virtual std::string GetErrorText() const { return m_errorText; }
    // Where the last LoadFile met its first error: the byte offset of the refused line's text in
    // the file, kNoLoadErrorOffset when it found none or cannot tell.
    static constexpr uint32_t kNoLoadErrorOffset = 0xFFFFFFFF;
    uint32_t GetLoadErrorOffset() const { return m_loadErrorOffset; }

    // Device work; the four operations answer a device result code.
    virtual bool DetectDevice(std::string* name) = 0;
    virtual bool SelectDevice(uint8_t number) = 0;
    virtual bool CanUploadFirmware() const = 0;
    virtual bool CanProgram() const = 0;
    virtual bool CanDownloadSequences() const = 0;
    virtual bool CanShowFirmwareVersion() const = 0;
    virtual std::string GetFirmwareFileFilter(std::string* filter, std::string* defaultExtension) const;
    virtual int UploadFirmware(const std::string& path, ProgressSink* progress) = 0;
    virtual int Program(ProgressSink* progress) = 0;
    virtual int DownloadSequences(ProgressSink* progress) = 0;
    virtual int GetFirmwareVersion(ProgressSink* progress, std::string* text) = 0;
    // Program reads the written image back and compares it when set (USB families; the legacy
    // driver cannot read). Unset, Program exchanges the protocol's reports and no more.
    void SetVerifyAfterProgramming(bool on) { m_verifyAfterProgramming = on; }
    bool GetVerifyAfterProgramming() const { return m_verifyAfterProgramming; }
    // What the last device operation exchanged with the keyboard: reports (USB) or driver calls
    // (ZQ-1100).
    uint32_t GetExchangeCount() const { return m_exchangeCount; }
    void SetExchangeCount(uint32_t count) { m_exchangeCount = count; }

protected:
    // A copy of the source's master that is its own master, so that it never forwards into the
    // keyboard's cells.
    static std::unique_ptr<KeyCell> CopyAsOwnKey(const KeyCell& source);
    // Makes the registered edit copy of the key at a position (layout 0: the current one); the
    // families' BeginEditCell.
    bool BeginRegisteredEdit(uint16_t column, uint16_t row, uint8_t layout, KeyCell** copy);
    // An empty cell of the family's kind and capacity, at no position.
    virtual std::unique_ptr<KeyCell> MakeDetachedCell() const = 0;
    // Keeps the first offset given since the load began.
    void NoteLoadError(uint32_t offset)
    {
        if (m_loadErrorOffset == kNoLoadErrorOffset) {
            m_loadErrorOffset = offset;
        }
    }

    uint16_t m_columns = 0;
    uint16_t m_rows = 0;
    uint16_t m_curColumn = 0;
    uint16_t m_curRow = 0;
    uint8_t m_layoutCount = 0;
    uint8_t m_curLayout = 0;
    uint8_t m_beepSettable = 1;
    uint8_t m_keyBeep = 0;
    uint8_t m_rfidNumericOnly = 1;
    uint8_t m_rfidDigits = 9;
    uint8_t m_keysType = 0;
    uint8_t m_keyPause = 3;
    uint8_t m_typematicRate = 11;
    uint8_t m_typematicDelay = 2;
    std::string m_errorText;
    uint32_t m_loadErrorOffset = kNoLoadErrorOffset;
    bool m_verifyAfterProgramming = false;
    uint32_t m_exchangeCount = 0;
    // The registered edit copy belongs to the keyboard until EndEditCell or the next edit.
    std::unique_ptr<KeyCell> m_editCopy;
    // Cell index of the key the edit copy goes back to; 0 for none.
    uint16_t m_editIndex = 0;

private:
    uint8_t ResolveLayout(uint8_t layout) const;
    // The cell at a position given in signed steps from a neighbour; null outside the grid.
    KeyCell* CellAt(int column, int row, uint8_t layout);
    bool StepCursor(int dColumn, int dRow);
    template <typename Setter> int CountAcceptingCells(Setter setter);
    bool StoreInRange(uint8_t value, bool (Keyboard::*range)(uint8_t*, uint8_t*) const, uint8_t* field);
};
