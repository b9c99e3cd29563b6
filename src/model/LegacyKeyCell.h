// Key cell of the ZQ-1100 family: codes are set-2 scan code bytes.
#pragma once

#include "model/KeyCell.h"

// Forms of the codes line.
enum LegacyCodesForm : int {
    LegacyFormFree = 0,
    LegacyFormSixteen = 1,
    LegacyFormSeven = 2,
};

// Flag number bits of the codes line and of the byte record.
constexpr uint8_t kLegacyFlagMerged = 0x01;
constexpr uint8_t kLegacyFlagSimpleKey = 0x02;

class LegacyKeyCell : public KeyCell
{
public:
    LegacyKeyCell(uint16_t keyNumber, uint16_t column, uint16_t row, uint8_t layout, uint8_t capacity);
    LegacyKeyCell(const LegacyKeyCell& source);

    std::unique_ptr<KeyCell> Clone() const override;

    std::string GetModeName(uint8_t mode) const override;
    std::string GetKeyTypeName(uint8_t type) const override;
    bool SetCapacity(uint8_t n) override;
    uint8_t GetImageIndex() const override;
    std::string GetCodeDisplayText(int index) const override;
    bool CaptureKeyDown(const KeyMessage& message, int position) override;
    bool CaptureKeyUp(const KeyMessage& message, int position) override;
    bool CaptureRow(int row, int position) override;
    bool DeleteLastCodes(int n) override;
    // Record length: capacity + 1, or 18 for a capacity of 16. flags is not used.
    bool SaveToBytes(uint8_t* record, size_t length, uint8_t* flags) const override;
    bool LoadFromBytes(const uint8_t* record, size_t length, uint8_t flags) override;
    bool ParseCodesText(const std::string& text) override;
    std::string FormatCodesText(int form) const override;
    bool Clear(bool resetName, bool unlink) override;
    bool AcceptsCodes() const override;

    static int FindRowBySet1(uint32_t code);
    static uint8_t GetSet2Length(int row);
    static std::string GetRowName(int row);
    // On the cell's own codes; see the free MatchSet2Window.
    int MatchSet2Window(int& start, int& end) const;
    // n > 0 drops n codes; n = 0 drops the last key with its prefix bytes.
    bool DeleteLastKey(int n);
    // The codes 0xE0, 0xE1 and 0xF0 directly before a 1-based position.
    int CountPrefixBytes(int position) const;
    bool SetFlagBits(uint8_t bits, int form);
    uint8_t GetFlagBits(int form) const;

private:
    size_t GetRecordLength() const;
    bool ParseCodeList(const std::string& list, int form);
};
