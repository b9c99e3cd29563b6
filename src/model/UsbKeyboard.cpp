#include "model/UsbKeyboard.h"

#include "keycodes/NumberFormat.h"
#include "model/KeyCell.h"

namespace {

constexpr uint32_t kOsErrorNotFunctioning = 31;
constexpr uint32_t kOsErrorNotConnected = 1167;
constexpr uint8_t kLastTextedStatus = 6;
constexpr const char* kLineEnd = "\r\n";

} // namespace

bool UsbKeyboard::ClearDeviceErrors()
{
    m_lastOsError = 0;
    m_lastDeviceStatus = 0;
    m_errorText.clear();
    return true;
}

// The error text lines come with the device module; the codes are kept by the same rules.
bool UsbKeyboard::RecordOsError(uint32_t code)
{
    if (code == m_lastOsError) {
        return true;
    }
    if (code == kOsErrorNotFunctioning || code == kOsErrorNotConnected) {
        m_lastOsError = code;
    }
    return true;
}

bool UsbKeyboard::RecordDeviceStatus(uint8_t status)
{
    if (status != m_lastDeviceStatus && status <= kLastTextedStatus) {
        m_lastDeviceStatus = status;
    }
    return true;
}

std::string UsbKeyboard::GetContentSignature()
{
    std::string signature;
    if (HasOptionsLine()) {
        const std::string options = FormatOptionsLine();
        if (!options.empty()) {
            signature += options + kLineEnd;
        }
    }
    // The same lines a project file holds, so that every saved change is seen.
    for (uint8_t layout = 1; layout <= m_layoutCount; ++layout) {
        for (uint16_t row = 1; row <= m_rows; ++row) {
            for (uint16_t column = 1; column <= m_columns; ++column) {
                const uint16_t index = GetCellIndex(column, row, layout);
                KeyCell* cell = nullptr;
                uint8_t shape = 0;
                if (!GetCellByIndex(index, &cell) || IsSkippedOnSave(column, row, layout, cell, &shape)) {
                    continue;
                }
                signature += FormatUnsigned(index);
                signature += shape == 0 ? ":" : ":G" + FormatUnsigned(shape) + ",";
                signature += cell->FormatCodesText(1) + kLineEnd;
            }
        }
    }
    return signature;
}

// Device and file bodies live with the device and file modules; until then they refuse.

bool UsbKeyboard::OpenDevice(HidChannel* channel)
{
    (void)channel;
    return false;
}

int UsbKeyboard::UploadFirmware(const std::string& path, ProgressSink* progress)
{
    (void)path;
    (void)progress;
    return ImageResult::NotSupported;
}
