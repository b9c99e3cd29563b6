// The device image of the USB families, format version 1: header options and one record per key.
#include "model/UsbKeyboardCommon.h"

#include <cstring>

uint8_t UsbKeyboardCommon::GetRecordSize()
{
    UsbKeyCell* cell = nullptr;
    if (!LookupCell(1, &cell)) {
        return kKeyCellMaxCodes + 1;
    }
    return static_cast<uint8_t>(cell->GetCapacity() + 1);
}

size_t UsbKeyboardCommon::GetImageLength()
{
    return GetImageHeaderSize() + static_cast<size_t>(GetCellCount(true)) * GetRecordSize();
}

int UsbKeyboardCommon::BuildImage(uint8_t* buffer, size_t* size, uint8_t formatVersion, uint8_t variantByte)
{
    using namespace UsbImage;
    if (formatVersion != kFormatVersion) {
        return ImageResult::kUnsupportedFormat;
    }
    const size_t length = GetImageLength();
    if (buffer == nullptr || size == nullptr || *size < length) {
        return ImageResult::kDoesNotFit;
    }
    *size = length;
    std::memset(buffer, 0, length);
    const size_t header = GetImageHeaderSize();
    const uint8_t recordSize = GetRecordSize();
    const uint16_t records = GetCellCount(true);
    bool refused = false;
    for (uint8_t layout = 1; layout <= m_layoutCount; ++layout) {
        for (uint16_t row = 1; row <= m_rows; ++row) {
            for (uint16_t column = 1; column <= m_columns; ++column) {
                const uint16_t index = GetCellIndex(column, row, layout);
                UsbKeyCell* cell = nullptr;
                if (index > records || !LookupCell(index, &cell)) {
                    continue;
                }
                const uint8_t shape = GetShapeFlags(column, row, layout);
                if ((shape & (ShapeAbove | ShapeLeft)) != 0) {
                    continue; // covered by the record of the key's top-left cell
                }
                uint8_t* record = buffer + header + (index - 1) * static_cast<size_t>(recordSize);
                uint8_t flags = 0;
                if (!cell->SaveToBytes(record + 1, recordSize - 1u, &flags)) {
                    refused = true;
                    continue;
                }
                flags &= kRecordCellFlags;
                if ((shape & ShapeBelow) != 0) {
                    flags |= kRecordExtendsDown;
                }
                if ((shape & ShapeRight) != 0) {
                    flags |= kRecordExtendsRight;
                }
                record[0] = flags;
            }
        }
    }
    uint8_t options = 0;
    options |= m_keysType != 0 ? kOptionTypematic : 0;
    options |= m_keyBeep != 0 ? kOptionKeyBeep : 0;
    options |= m_rfidNumericOnly != 0 ? kOptionNumericOnly : 0;
    buffer[kOptionBits] = options;
    buffer[kTypematicDelay] = m_typematicDelay;
    buffer[kTypematicRate] = m_typematicRate;
    buffer[kRfidDigits] = m_rfidDigits;
    uint8_t affixFlags = 0;
    refused = !m_prefix.SaveToBytes(buffer + kPrefix, 2, &affixFlags) || refused;
    refused = !m_suffix.SaveToBytes(buffer + kSuffix, 2, &affixFlags) || refused;
    buffer[kKeyPause] = m_keyPause;
    buffer[kVariant] = variantByte;
    return refused ? ImageResult::kDataInvalid : ImageResult::kOk;
}

int UsbKeyboardCommon::ParseImage(uint8_t* buffer, size_t length, uint8_t formatVersion,
                                  const std::function<void(uint8_t)>& switchVariant)
{
    if (formatVersion != UsbImage::kFormatVersion) {
        return ImageResult::kUnsupportedFormat;
    }
    if (length < GetImageLength()) {
        return ImageResult::kDoesNotFit;
    }
    if (buffer == nullptr) {
        return ImageResult::kOk;
    }
    ClearAllCells();
    switchVariant(buffer[UsbImage::kVariant]);
    // The variant decides the record size and count.
    if (length < GetImageLength()) {
        return ImageResult::kDoesNotFit;
    }
    bool ok = ParseImageRecords(buffer, length);
    ok = ApplyImageHeader(buffer) && ok;
    return ok ? ImageResult::kOk : ImageResult::kDataInvalid;
}

bool UsbKeyboardCommon::ParseImageRecords(uint8_t* buffer, size_t length)
{
    const size_t header = GetImageHeaderSize();
    const uint8_t recordSize = GetRecordSize();
    const uint16_t records = GetCellCount(true);
    bool ok = true;
    for (uint8_t layout = 1; layout <= m_layoutCount; ++layout) {
        for (uint16_t row = 1; row <= m_rows; ++row) {
            for (uint16_t column = 1; column <= m_columns; ++column) {
                const uint16_t index = GetCellIndex(column, row, layout);
                UsbKeyCell* cell = nullptr;
                const size_t offset = header + (index - 1) * static_cast<size_t>(recordSize);
                if (index > records || !LookupCell(index, &cell) || offset + recordSize > length) {
                    continue;
                }
                if (!ParseOneRecord(buffer, length, offset, column, row, layout, cell)) {
                    ok = false;
                }
            }
        }
    }
    return ok;
}

bool UsbKeyboardCommon::ParseOneRecord(uint8_t* buffer, size_t length, size_t offset, uint16_t column,
                                       uint16_t row, uint8_t layout, UsbKeyCell* cell)
{
    using namespace UsbImage;
    const uint8_t flags = buffer[offset];
    if (flags == kRecordCovered) {
        return true;
    }
    const size_t recordSize = GetRecordSize();
    const size_t right = offset + recordSize;
    const size_t below = offset + m_columns * recordSize;
    bool ok = true;
    bool down = (flags & kRecordExtendsDown) != 0;
    bool wide = (flags & kRecordExtendsRight) != 0;
    // A key reaching past the grid edge would mark a record of another row or layout, or a byte
    // past the image.
    const size_t farthest = (down ? below : offset) + (wide ? recordSize : 0);
    if ((down && row >= m_rows) || (wide && column >= m_columns) || farthest >= length) {
        ok = !(down || wide);
        down = false;
        wide = false;
    }
    uint8_t change = 0;
    if (down && wide) {
        buffer[right] = kRecordCovered;
        buffer[below] = kRecordCovered;
        buffer[below + recordSize] = kRecordCovered;
        change = ShapeBelow | ShapeRight | ShapeRightBelow;
    } else if (down) {
        buffer[below] = kRecordCovered;
        change = ShapeBelow;
    } else if (wide) {
        buffer[right] = kRecordCovered;
        change = ShapeRight;
    }
    if (!cell->LoadFromBytes(buffer + offset + 1, recordSize - 1, flags)) {
        ok = false;
    }
    if (cell->IsLayoutSwitch()) {
        if (!LinkLayoutSwitchKey(column, row, layout) || change != 0) {
            ok = false;
        }
    } else if (change != 0 && !ChangeShape(column, row, change, layout)) {
        ok = false;
    }
    return ok;
}

bool UsbKeyboardCommon::ApplyImageHeader(const uint8_t* buffer)
{
    using namespace UsbImage;
    const uint8_t options = buffer[kOptionBits];
    bool ok = true;
    // A false answer of any setter means the value was refused.
    ok = SetKeyBeep((options & kOptionKeyBeep) != 0) && ok;
    ok = SetKeysType((options & kOptionTypematic) != 0 ? 1 : 0) && ok;
    ok = SetRfidNumericOnly((options & kOptionNumericOnly) != 0) && ok;
    ok = SetTypematicDelay(buffer[kTypematicDelay]) && ok;
    ok = SetTypematicRate(buffer[kTypematicRate]) && ok;
    ok = SetRfidDigits(buffer[kRfidDigits]) && ok;
    ok = m_prefix.LoadFromBytes(buffer + kPrefix, 2, 0) && ok;
    ok = m_suffix.LoadFromBytes(buffer + kSuffix, 2, 0) && ok;
    ok = SetKeyPause(buffer[kKeyPause]) && ok;
    return ok;
}
