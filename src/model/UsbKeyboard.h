// The layer every USB keyboard shares: device identity, the errors recorded during a device
// operation, the content signature, and the family primitives the project file and the device
// image rest on.
// Bodies elsewhere: saving in files/UsbProjectFile.cpp, device work in device/UsbKeyboardDevice.cpp.
#pragma once

#include "model/Keyboard.h"

#include <cstddef>
#include <cstdint>
#include <string>

class HidChannel;
class UsbKeyCell;

// Device result codes the image operations answer (the full table belongs to the device module).
namespace ImageResult {
constexpr int kOk = 0;
constexpr int kNotSupported = 2;
constexpr int kDoesNotFit = 6;
constexpr int kUnsupportedFormat = 10;
constexpr int kDataInvalid = 11;
} // namespace ImageResult

// The keyboards' USB vendor id, one for both families; the settings and zqtool may override it.
// Not in the public list of USB vendor ids when chosen, so it matches no other maker's devices.
constexpr uint16_t kZqUsbVendorId = 0xFA2C;

class UsbKeyboard : public Keyboard
{
public:
    ~UsbKeyboard() override = default;

    virtual bool ClearDeviceErrors();
    virtual bool RecordOsError(uint32_t code);
    virtual bool RecordDeviceStatus(uint8_t status);
    // A line naming the first address whose read-back differed from what was written.
    void RecordFirstDifference(uint16_t address);
    // Another line of the error text, such as why a file was refused; an empty line adds nothing.
    void AppendErrorText(const std::string& line);

    // addressable true: key records of the device image (and the highest key number of a file);
    // false: the size of the cell table.
    virtual uint16_t GetCellCount(bool addressable) const = 0;
    virtual std::string GetFileMagic() const = 0;
    virtual std::string GetDeviceName() const = 0;
    virtual bool HasOptionsLine() const = 0;
    virtual bool ParseOptionsLine(const std::string& text) = 0;
    virtual std::string FormatOptionsLine() const = 0;
    // Shape codes: 0 single, 1 double down, 2 double right, 3 quad. True: the cell gets no line.
    virtual bool IsSkippedOnSave(uint16_t column, uint16_t row, uint8_t layout, KeyCell* cell,
                                 uint8_t* shape) = 0;
    virtual bool OpenDevice(HidChannel* channel);
    // size: in, the room in buffer; out, the image length.
    virtual int BuildDeviceImage(uint8_t* buffer, size_t* size, uint8_t formatVersion) = 0;
    // The buffer is written to: records covered by a merged key are marked with 255.
    virtual int ParseDeviceImage(uint8_t* buffer, size_t length, uint8_t formatVersion) = 0;
    virtual bool LookupCell(uint16_t index, UsbKeyCell** cell) = 0;

    bool SaveFile(const std::string& path, uint8_t* format) override;
    bool SaveToMemory(std::string& text, uint8_t* format) override;
    std::string GetContentSignature() override;
    bool CanShowFirmwareVersion() const override { return false; }
    std::string GetFirmwareFileFilter(std::string* filter, std::string* defaultExtension) const override;
    int UploadFirmware(const std::string& path, ProgressSink* progress) override;

    uint16_t GetVendorId() const { return m_vendorId; }
    void SetVendorId(uint16_t vendorId) { m_vendorId = vendorId; }
    uint16_t GetProductId() const { return m_productId; }
    uint32_t GetLastOsError() const { return m_lastOsError; }
    uint8_t GetLastDeviceStatus() const { return m_lastDeviceStatus; }

protected:
    uint16_t m_vendorId = kZqUsbVendorId;
    uint16_t m_productId = 0;
    uint32_t m_lastOsError = 0;
    uint8_t m_lastDeviceStatus = 0;
};
