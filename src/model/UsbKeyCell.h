// Key cell of the ZQ-2200 and ZQ-3300 families: codes are HID usages or one layout switch code.
#pragma once

#include "model/KeyCell.h"

// Key types; 3 + n (n from 1) switches to layout n.
constexpr uint8_t kUsbKeyTypeNormal = 1;
constexpr uint8_t kUsbKeyTypeModifier = 2;
constexpr uint8_t kUsbKeyTypeNextLayout = 3;

// Flags byte kept beside a USB record.
constexpr uint8_t kUsbRecordSimpleKey = 0x01;
constexpr uint8_t kUsbRecordModifier = 0x02;
constexpr uint8_t kUsbRecordLayoutSwitch = 0x04;

// Keyboard usages (HID page 7) as cells keep them; ids from 0xF0 up are the release rows.
constexpr uint32_t kKeyboardPage = 0x00070000;
constexpr uint32_t kFirstReleaseId = 0xF0;
bool IsKeyboardPage(uint32_t code);

// Layout switch code: 0xFF0000F0 + n; n = 0 to 6 names layout n + 1, n = 7 the next layout.
constexpr uint32_t kLayoutSwitchCode = 0xFF0000F0;
constexpr uint32_t kLayoutSwitchNext = 7;
bool IsLayoutSwitchCode(uint32_t code);

class UsbKeyCell : public KeyCell
{
public:
    UsbKeyCell(uint16_t keyNumber, uint16_t column, uint16_t row, uint8_t layout, uint8_t capacity);
    UsbKeyCell(const UsbKeyCell& source);

    std::unique_ptr<KeyCell> Clone() const override;

    uint8_t GetMaxSimpleKey() const override;
    uint8_t GetMaxKeyType() const override;
    bool IsLayoutSwitch() const override;
    std::string GetModeName(uint8_t mode) const override;
    std::string GetKeyTypeName(uint8_t type) const override;
    bool SetCapacity(uint8_t n) override;
    uint8_t GetImageIndex() const override;
    bool IsProgrammed() const override;
    uint8_t GetKeyType() const override;
    std::string GetCodeDisplayText(int index) const override;
    bool CaptureKeyDown(const KeyMessage& message, int position) override;
    bool CaptureKeyUp(const KeyMessage& message, int position) override;
    bool CaptureRow(int row, int position) override;
    bool DeleteLastCodes(int n) override;
    bool SetKeyType(uint8_t type) override;
    bool IsEnterHeld() override;
    // Record length: the capacity; flags as UsbRecord* bits.
    bool SaveToBytes(uint8_t* record, size_t length, uint8_t* flags) const override;
    bool LoadFromBytes(const uint8_t* record, size_t length, uint8_t flags) override;
    bool ParseCodesText(const std::string& text) override;
    std::string FormatCodesText(int form) const override;
    bool Clear(bool resetName, bool unlink) override;
    bool AcceptsCodes() const override;

    bool SetLayoutLimit(uint8_t n); // forwards; above 7 no switch code could name it
    uint8_t GetLayoutLimit() const; // forwards
    static int FindRowBySet1(uint32_t code);
    static int FindRowByUsage(uint32_t usage);
    static bool IsModifierUsage(uint32_t usage);
    static bool IsModifierSet1(uint32_t code);
    static std::string GetRowName(int row);
    virtual uint8_t GetOwnCapacity() const { return m_capacity; }

protected:
    // Leaves only the modifier usages, each modifier once, in their order.
    void KeepModifiersOnly();
    bool ParseCodeToken(const std::string& token);
    bool ParseLayoutToken(const std::string& token);
    bool ParseTypeToken(const std::string& token);
    bool ParseSimpleKeyToken(const std::string& token);

    uint8_t m_layoutLimit = 0;
};
