// The RFID prefix or suffix of the USB families: one modifier (position 1) and one key (position 2).
#pragma once

#include "model/UsbKeyCell.h"

class AffixKeyCell : public UsbKeyCell
{
public:
    AffixKeyCell();
    AffixKeyCell(const AffixKeyCell& source);

    std::unique_ptr<KeyCell> Clone() const override;

    uint8_t GetOwnCapacity() const override { return 2; }
    bool IsLayoutSwitch() const override;
    std::string GetCodeDisplayText(int index) const override;
    bool CaptureKeyDown(const KeyMessage& message, int position) override;
    bool CaptureKeyUp(const KeyMessage& message, int position) override;
    // The affix has one place for a modifier and one for a key, not a sequence.
    bool CaptureRow(int /*row*/, int /*position*/) override { return false; }
    // True once when a key other than a modifier was pressed and released.
    bool IsEnterHeld() override;
    bool DeleteLastCodes(int n) override;
    // Record length 2: modifier id, key id. flags is not used.
    bool SaveToBytes(uint8_t* record, size_t length, uint8_t* flags) const override;
    bool LoadFromBytes(const uint8_t* record, size_t length, uint8_t flags) override;
    // "0xMMKK" with the modifier id high and the key id low.
    bool ParseCodesText(const std::string& text) override;
    std::string FormatCodesText(int form) const override;
    bool Clear(bool resetName, bool unlink) override;

private:
    // Stores both codes when the pair is acceptable, else empties both.
    bool StorePair(uint32_t modifierId, uint32_t keyId, uint32_t largestKeyId);

    bool m_keyHeld = false;
    bool m_captureDone = false;
};
