// The ZQ-3300 keyboard project: 8 x 7 keys, a single keyboard or a double one whose right side
// holds the odd layouts and left side the even ones, with one or two layouts per side.
// Bodies elsewhere: ParseOptionsLine and FormatOptionsLine in files/UsbProjectFile.cpp.
#pragma once

#include "model/UsbKeyboardCommon.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class Zq3300Keyboard : public UsbKeyboardCommon
{
public:
    static constexpr uint16_t kColumns = 8;
    static constexpr uint16_t kRows = 7;
    static constexpr uint8_t kMaxLayouts = 4;
    static constexpr uint16_t kCellCount = kColumns * kRows * kMaxLayouts;
    static constexpr uint16_t kProductId = 0x1002;
    // Variant code: this bit for a double keyboard, the low bits the layouts per side.
    static constexpr uint8_t kVariantDouble = 0x80;

    // layoutsPerSide 1 or 2; larger counts give 2, 0 gives 1.
    Zq3300Keyboard(bool isDouble, uint8_t layoutsPerSide);

    std::string GetLayoutName(uint8_t layout) const override;
    uint8_t GetTypeId() const override;
    std::string GetFileFilter(std::string* filter, std::string* defaultExtension) const override;

    uint16_t GetCellCount(bool addressable) const override;
    std::string GetFileMagic() const override;
    std::string GetDeviceName() const override;
    bool ParseOptionsLine(const std::string& text) override;
    std::string FormatOptionsLine() const override;
    int BuildDeviceImage(uint8_t* buffer, size_t* size, uint8_t formatVersion) override;
    int ParseDeviceImage(uint8_t* buffer, size_t length, uint8_t formatVersion) override;

    uint8_t GetFirstLayoutOfSide(uint8_t layout) const override;
    uint8_t GetLayoutsPerSide() const override;
    uint8_t GetLayoutStep() const override;

    // Item 1 exchanges the sides, 2 the layouts of each side, 3 to 6 change the variant; in place.
    uint8_t GetConversionCount() const override { return 6; }
    bool GetConversionTitle(uint8_t index, std::string* text) const override;
    bool GetConversionWarning(uint8_t index, std::string* text) const override;
    std::unique_ptr<Keyboard> Convert(uint8_t index, bool* changedInPlace) override;

    virtual bool SwitchVariant(uint8_t layoutsPerSide, bool isDouble);
    virtual bool SwitchVariantCode(uint8_t code);
    virtual uint8_t GetVariantCode() const;
    virtual bool ClearLayoutSwitchKeysOfSide(uint8_t layout);
    virtual bool SetCellCapacity(uint8_t capacity);
    virtual bool ExchangeLayouts(uint8_t first, uint8_t second);
    virtual bool RemoveLastLayout(uint8_t count);
    virtual bool AddLayout(uint8_t count);
    // Runs conversion item index + 1; answers whether the project changed.
    virtual bool RunConversion(uint8_t index, bool* changed);

    bool IsDouble() const { return m_double != 0; }

private:
    // Conversion items 1 to 6; each answers whether the project changed.
    bool ApplyConversion(uint8_t index);
    bool ExchangeSides();
    bool ExchangeLayoutsOfEachSide();
    bool MakeDoubleWithOneLayout();
    bool MakeDoubleWithTwoLayouts();
    bool MakeSingleWithOneLayout();
    bool MakeSingleWithTwoLayouts();
    bool IsDoubleWith(uint8_t layoutsPerSide) const
    {
        return m_double != 0 && m_layoutCount == 2 * layoutsPerSide;
    }
    bool IsSingleWith(uint8_t layouts) const { return m_double == 0 && m_layoutCount == layouts; }

    uint8_t m_double = 0;
    uint8_t m_variantMask = 3;
    uint8_t m_maxLayoutsPerSide = 2;
};
