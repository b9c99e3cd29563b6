// What the two USB families share beyond the device layer: the cell table addressed by cell index,
// the sides and layout switch key rules, the edit copy, the RFID affixes and the device image.
// Bodies elsewhere: loading in files/UsbProjectFile.cpp, device work in device/UsbKeyboardDevice.cpp.
#pragma once

#include "model/AffixKeyCell.h"
#include "model/UsbKeyCell.h"
#include "model/UsbKeyboard.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class BufferedFile;

// Device image header (format version 1), one byte each.
namespace UsbImage {
constexpr uint8_t kFormatVersion = 1;
constexpr size_t kOptionBits = 0;
constexpr size_t kTypematicDelay = 1;
constexpr size_t kTypematicRate = 2;
constexpr size_t kRfidDigits = 3;
constexpr size_t kPrefix = 4; // two bytes: modifier id, key id
constexpr size_t kSuffix = 6;
constexpr size_t kKeyPause = 8;
constexpr size_t kVariant = 9;     // layout count, or the variant code
constexpr size_t kHeaderSize = 14; // bytes 10 to 13 stay zero

constexpr uint8_t kOptionTypematic = 0x01;
constexpr uint8_t kOptionKeyBeep = 0x02;
constexpr uint8_t kOptionNumericOnly = 0x80;

// Key record: flags byte, then one byte per code.
constexpr uint8_t kRecordExtendsDown = 0x08;
constexpr uint8_t kRecordExtendsRight = 0x10;
constexpr uint8_t kRecordCovered = 0xFF;
constexpr uint8_t kRecordCellFlags = 0x07;
} // namespace UsbImage

class UsbKeyboardCommon : public UsbKeyboard
{
public:
    ~UsbKeyboardCommon() override;

    // The catalogue name of GetTypeId, empty when the project matches no type.
    std::string GetTypeName() const override { return GetTypeNameOf(GetTypeId()); }

    // Cells.
    bool LookupCell(uint16_t index, UsbKeyCell** cell) override;
    virtual bool GetCellAt(uint16_t column, uint16_t row, uint8_t layout, UsbKeyCell** cell);
    virtual bool GetCellAt(GridPoint point, uint8_t layout, UsbKeyCell** cell);
    bool GetCellByIndex(uint16_t index, KeyCell** cell) override;
    uint16_t GetCellIndex(uint16_t column, uint16_t row, uint8_t layout) const override;
    using Keyboard::GetCellIndex;
    bool GetCellPosition(uint16_t index, uint16_t* column, uint16_t* row, uint8_t* layout) override;

    // Sides: the layouts of a side are every GetLayoutStep-th layout from GetFirstLayoutOfSide.
    virtual uint8_t GetFirstLayoutOfSide(uint8_t layout) const;
    virtual uint8_t GetLayoutsPerSide() const;
    virtual uint8_t GetLayoutStep() const;
    virtual bool CanShareAcrossLayouts(uint16_t column, uint16_t row, uint8_t layout);
    // The layout limit a cell at this position gets (UpdateCell, and the file reader).
    uint8_t GetLayoutLimitAt(uint16_t column, uint16_t row, uint8_t layout);
    // Links the cells at this position in every layout of the side to the master of the cell in
    // the given layout; false when a cell is missing or refuses.
    bool LinkLayoutSwitchKey(uint16_t column, uint16_t row, uint8_t layout);

    bool MoveToNextKey() override;
    bool MoveToPreviousKey() override;
    bool UpdateCell(KeyCell* cell) override;

    virtual bool BeginEditCell(GridPoint point, KeyCell** copy, uint8_t layout);
    using Keyboard::BeginEditCell;

    bool SetKeyTexts(const std::string& name, const std::string& codes, uint16_t column, uint16_t row,
                     uint8_t layout) override;
    using Keyboard::SetKeyTexts;
    bool IsValidKeyTexts(const std::string& codes, uint16_t column, uint16_t row, uint8_t layout) override;
    using Keyboard::IsValidKeyTexts;
    bool SetKeyType(uint16_t column, uint16_t row, uint8_t type) override;
    using Keyboard::SetKeyType;
    bool WouldLoseProgramming(uint16_t column, uint16_t row, uint8_t type) override;
    using Keyboard::WouldLoseProgramming;
    bool IsSkippedOnSave(uint16_t column, uint16_t row, uint8_t layout, KeyCell* cell,
                         uint8_t* shape) override;
    // Both families write the options line before the key lines.
    bool HasOptionsLine() const override { return true; }

    // RFID prefix and suffix.
    uint8_t GetAffixStyle() const override { return 2; }
    bool CaptureAffixKey(const KeyMessage& message, bool isPrefix, bool* handled) override;
    bool IsAffixFull(bool isPrefix) override;
    bool ClearAffix(bool isPrefix) override;
    std::string GetAffixText(std::string* text, bool isPrefix, bool modifierPart) override;
    AffixKeyCell& GetAffixCell(bool isPrefix) { return isPrefix ? m_prefix : m_suffix; }
    std::string GetCodeEntryLabel(int index) const override;

    // Device operations.
    bool CanUploadFirmware() const override { return true; }
    bool CanProgram() const override { return true; }
    bool CanDownloadSequences() const override { return true; }
    bool CanShowFirmwareVersion() const override { return true; }
    virtual int ReadDeviceHeader(HidChannel* channel, uint8_t* length, uint8_t* buffer);
    virtual int QueryDeviceHeader(uint8_t* length, uint8_t* buffer);
    virtual int ReadDeviceHeaderLength(HidChannel* channel, uint8_t* length);
    int Program(ProgressSink* progress) override;
    int DownloadSequences(ProgressSink* progress) override;
    int GetFirmwareVersion(ProgressSink* progress, std::string* text) override;
    bool LoadFile(const std::string& path, uint8_t* format) override;
    bool LoadFromMemory(const std::string& text, uint8_t* format) override;
    // Finds the keyboard of the family; the name becomes GetDeviceName() or empty.
    bool DetectDevice(std::string* name) override;
    bool SelectDevice(uint8_t number) override;

protected:
    // Columns, rows and table size; the table starts empty.
    UsbKeyboardCommon(uint16_t columns, uint16_t rows, uint16_t tableSize);

    // The save filter "<text>|*.zqp|" of a family and its default extension.
    static std::string MakeProjectFileFilter(uint32_t textId, std::string* filter,
                                             std::string* defaultExtension);
    // The catalogue name of a type id, empty when it has none.
    static std::string GetTypeNameOf(uint8_t typeId);
    // Gives the title of a conversion item when asked and answers whether the item is offered.
    static bool AnswerConversionTitle(uint32_t titleId, bool offered, std::string* text);
    // The data-loss warning naming the target type.
    static std::string FormatConversionWarning(uint8_t targetTypeId);
    std::unique_ptr<KeyCell> MakeDetachedCell() const override;
    // Brings the cursor back into the layouts after a conversion removed some.
    void KeepCursorInLayouts();

    // Table maintenance for construction and conversions.
    void CreateLayoutCells(uint8_t layout, uint8_t capacity);
    // Destroys every cell of a layout. Cells of other layouts linked to a destroyed cell (a layout
    // switch key) are cleared and unlinked first, so no link is left dangling.
    void DestroyLayoutCells(uint8_t layout);
    void DestroyLayoutCellAt(uint16_t column, uint16_t row, uint8_t layout);
    // Destroys the layouts above target. A layout switch key of layout 1 keeps its name and loses
    // its codes in every layout; with restoreSwitchKeys and two layouts or more left it takes its
    // codes back where they still name a layout, linked over the layouts left.
    void DropLayoutsAbove(uint8_t target, bool restoreSwitchKeys);
    // The cells of two layouts change places and take the numbers of their new places.
    bool ExchangeLayoutCells(uint8_t first, uint8_t second);
    // Every cell of every layout loses its codes and links and becomes a normal key.
    void ClearAllCells();

    // Device image of format version 1: header, then one record per addressable cell.
    virtual uint8_t GetImageHeaderSize() const { return UsbImage::kHeaderSize; }
    size_t GetImageLength();
    // The capacity of the cell at index 1 plus the flags byte.
    uint8_t GetRecordSize();
    int BuildImage(uint8_t* buffer, size_t* size, uint8_t formatVersion, uint8_t variantByte);
    // Checks the image; with a buffer, empties every key, lets switchVariant make the project the
    // variant of the header's variant byte, then reads the records and the options.
    int ParseImage(uint8_t* buffer, size_t length, uint8_t formatVersion,
                   const std::function<void(uint8_t)>& switchVariant);
    // Reads the records; false when anything was refused.
    bool ParseImageRecords(uint8_t* buffer, size_t length);
    bool ApplyImageHeader(const uint8_t* buffer);

    std::vector<std::unique_ptr<UsbKeyCell>> m_cells;
    AffixKeyCell m_prefix;
    AffixKeyCell m_suffix;
    uint16_t m_detectedDevices = 0;
    uint8_t m_selectedDevice = 0;

private:
    // LoadFile's reading, on a file just opened.
    bool ReadProjectLines(BufferedFile& file, uint8_t* format);
    // Index of a position in any layout the table can hold, whatever the layout count.
    uint16_t GetTableIndex(uint16_t column, uint16_t row, uint8_t layout) const;
    bool ParseOneRecord(uint8_t* buffer, size_t length, size_t offset, uint16_t column, uint16_t row,
                        uint8_t layout, UsbKeyCell* cell);
    void DestroyCell(size_t slot);
};
