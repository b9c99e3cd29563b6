// The ZQ-1100 keyboard project: one or two halves of 8 x 7 keys, numbered 1-56 (left) and
// 57-112 (right), as one 8- or 16-column layout or as two layouts.
// Bodies elsewhere: files in files/LegacyLayoutFile.cpp, programming in device/LegacyKeyboardDevice.cpp.
#pragma once

#include "model/Keyboard.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class BufferedFile;
class LegacyKeyCell;

class LegacyKeyboard : public Keyboard
{
public:
    static constexpr uint16_t kKeyCount = 112;
    static constexpr uint16_t kHalfKeyCount = 56;
    // Type codes (GetTypeCode): the keys of the keyboard, plus 1 with 16 scans.
    static constexpr uint8_t kCodeV1Single = 56;
    static constexpr uint8_t kCodeV2Single = 57;
    static constexpr uint8_t kCodeV1Double = 112;
    static constexpr uint8_t kCodeV2Double = 113;

    // isDouble without twoLayouts gives one layout of 16 columns.
    LegacyKeyboard(bool isDouble, bool twoLayouts, bool sixteenScans);
    ~LegacyKeyboard() override;

    bool MoveToNextKey() override;
    bool MoveToPreviousKey() override;
    std::string GetLayoutName(uint8_t layout) const override;
    bool CanEditScanCodes() const override { return true; }
    bool GetCellByIndex(uint16_t index, KeyCell** cell) override;
    uint16_t GetCellIndex(uint16_t column, uint16_t row, uint8_t layout) const override;
    using Keyboard::GetCellIndex;
    bool GetCellPosition(uint16_t index, uint16_t* column, uint16_t* row, uint8_t* layout) override;
    using Keyboard::BeginEditCell;

    uint8_t GetAffixStyle() const override { return 1; }
    uint8_t GetAffixKeyCode(bool isPrefix) const override;
    bool SetAffixKeyCode(bool isPrefix, uint8_t code) override;
    bool GetAffixExtended(bool isPrefix) const override;
    bool SetAffixExtended(bool isPrefix, bool on) override;
    std::string GetCodeEntryLabel(int index) const override;

    // Items count from 1.
    uint8_t GetConversionCount() const override { return 6; }
    bool GetConversionTitle(uint8_t index, std::string* text) const override;
    bool GetConversionWarning(uint8_t index, std::string* text) const override;
    // Always converts in place: answers null.
    std::unique_ptr<Keyboard> Convert(uint8_t index, bool* changedInPlace) override;

    std::string GetTypeName() const override;
    uint8_t GetTypeId() const override;
    std::string GetFileFilter(std::string* filter, std::string* defaultExtension) const override;
    bool SaveFile(const std::string& path, uint8_t* format) override;
    bool LoadFile(const std::string& path, uint8_t* format) override;
    bool SaveToMemory(std::string& text, uint8_t* format) override;
    bool LoadFromMemory(const std::string& text, uint8_t* format) override;
    std::string GetContentSignature() override;

    bool DetectDevice(std::string* name) override;
    bool SelectDevice(uint8_t number) override;
    bool CanUploadFirmware() const override { return false; }
    bool CanProgram() const override { return true; }
    bool CanDownloadSequences() const override { return false; }
    bool CanShowFirmwareVersion() const override { return false; }
    int UploadFirmware(const std::string& path, ProgressSink* progress) override;
    int Program(ProgressSink* progress) override;
    int DownloadSequences(ProgressSink* progress) override;
    int GetFirmwareVersion(ProgressSink* progress, std::string* text) override;

    virtual uint8_t GetRfidFlags() const;
    virtual bool SetRfidFlags(uint8_t flags);
    virtual std::string FormatHeaderLine(uint8_t format) const;
    virtual uint8_t GetTypeCode() const;
    virtual uint8_t GetTypeCode(uint8_t version, bool flag) const;
    // size: in, the room in buffer; out, the image length.
    virtual int BuildDeviceImage(uint8_t keyboardVersion, uint8_t* buffer, size_t* size);

    uint8_t GetCellCapacity() const { return m_cellCapacity; }

protected:
    std::unique_ptr<KeyCell> MakeDetachedCell() const override;

private:
    static constexpr uint16_t kHalfColumns = 8;
    static constexpr uint16_t kHalfRows = 7;
    static constexpr uint8_t kCapacityV1Single = 7;
    static constexpr uint8_t kCapacityV1Double = 3;
    static constexpr uint8_t kCapacityV2 = 16;

    // LoadFile's reading, on a file just opened.
    bool ReadLayout(BufferedFile& file, uint8_t* format);
    static bool IsRightHalf(uint16_t index) { return index > kHalfKeyCount; }
    bool IsDouble() const { return m_columns > kHalfColumns || m_layoutCount > 1; }
    // The position a key number has in the present grid.
    bool PositionOfIndex(uint16_t index, uint16_t* column, uint16_t* row, uint8_t* layout) const;
    std::unique_ptr<LegacyKeyCell> MakeCell(uint16_t index) const;
    void PlaceCell(uint16_t index);
    void ApplyCapacity(uint8_t capacity);
    void DetachLinksAcrossHalves();
    void MakeSingleLayout(bool keepRight);
    void MakeTwoLayouts(bool keysOnRight);
    void ExchangeHalves();

    std::array<std::unique_ptr<LegacyKeyCell>, kKeyCount> m_cells;
    uint8_t m_cellCapacity = 7;
    uint8_t m_prefixCode = 0;
    uint8_t m_suffixCode = 0;
    uint8_t m_prefixExtended = 0;
    uint8_t m_suffixExtended = 0;
};
