// The ZQ-2200 keyboard project: 5 x 8 keys in one, two or three layouts.
// Bodies elsewhere: ParseOptionsLine and FormatOptionsLine in files/UsbProjectFile.cpp.
#pragma once

#include "model/UsbKeyboardCommon.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class Zq2200Keyboard : public UsbKeyboardCommon
{
public:
    static constexpr uint16_t kColumns = 5;
    static constexpr uint16_t kRows = 8;
    static constexpr uint8_t kMaxLayouts = 3;
    static constexpr uint16_t kCellCount = kColumns * kRows * kMaxLayouts;
    static constexpr uint16_t kProductId = 0x1000;

    // layoutCount 1 to 3; larger counts give 3, 0 gives 1.
    explicit Zq2200Keyboard(uint8_t layoutCount);

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

    // Items 1 to 3 exchange two layouts, 4 to 6 give one, two or three layouts; all in place.
    uint8_t GetConversionCount() const override { return 6; }
    bool GetConversionTitle(uint8_t index, std::string* text) const override;
    bool GetConversionWarning(uint8_t index, std::string* text) const override;
    std::unique_ptr<Keyboard> Convert(uint8_t index, bool* changedInPlace) override;

private:
    void AddLayouts(uint8_t target);
};
