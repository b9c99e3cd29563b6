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
    if (formatVersion != FormatVersion) {
        return ImageResult::UnsupportedFormat;
    }
    const size_t length = GetImageLength();
    if (buffer == nullptr || size == nullptr || *size < length) {
        return ImageResult::DoesNotFit;
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
                flags &= RecordCellFlags;
                if ((shape & ShapeBelow) != 0) {
                    flags |= RecordExtendsDown;
                }
                if ((shape & ShapeRight) != 0) {
                    flags |= RecordExtendsRight;
                }
                record[0] = flags;
            }
        }
    }
    uint8_t options = 0;
    options |= m_keysType != 0 ? OptionTypematic : 0;
    options |= m_keyBeep != 0 ? OptionKeyBeep : 0;
    options |= m_rfidNumericOnly != 0 ? OptionNumericOnly : 0;
    buffer[OptionBits] = options;
    buffer[TypematicDelay] = m_typematicDelay;
    buffer[TypematicRate] = m_typematicRate;
    buffer[RfidDigits] = m_rfidDigits;
    uint8_t affixFlags = 0;
    refused = !m_prefix.SaveToBytes(buffer + Prefix, 2, &affixFlags) || refused;
    refused = !m_suffix.SaveToBytes(buffer + Suffix, 2, &affixFlags) || refused;
    buffer[KeyPause] = m_keyPause;
    buffer[Variant] = variantByte;
    return refused ? ImageResult::DataInvalid : ImageResult::Ok;
}

int UsbKeyboardCommon::ParseImage(uint8_t* buffer, size_t length, uint8_t formatVersion,
                                  const std::function<void(uint8_t)>& switchVariant)
{
    if (formatVersion != UsbImage::FormatVersion) {
        return ImageResult::UnsupportedFormat;
    }
    if (length < GetImageLength()) {
        return ImageResult::DoesNotFit;
    }
    if (buffer == nullptr) {
        return ImageResult::Ok;
    }
    ClearAllCells();
    switchVariant(buffer[UsbImage::Variant]);
    // The variant decides the record size and count.
    if (length < GetImageLength()) {
        return ImageResult::DoesNotFit;
    }
    bool ok = ParseImageRecords(buffer, length);
    ok = ApplyImageHeader(buffer) && ok;
    return ok ? ImageResult::Ok : ImageResult::DataInvalid;
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
    if (flags == RecordCovered) {
        return true;
    }
    const size_t recordSize = GetRecordSize();
    const size_t right = offset + recordSize;
    const size_t below = offset + m_columns * recordSize;
    bool ok = true;
    bool down = (flags & RecordExtendsDown) != 0;
    bool wide = (flags & RecordExtendsRight) != 0;
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
        buffer[right] = RecordCovered;
        buffer[below] = RecordCovered;
        buffer[below + recordSize] = RecordCovered;
        change = ShapeBelow | ShapeRight | ShapeRightBelow;
    } else if (down) {
        buffer[below] = RecordCovered;
        change = ShapeBelow;
    } else if (wide) {
        buffer[right] = RecordCovered;
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
    const uint8_t options = buffer[OptionBits];
    bool ok = true;
    // A false answer of any setter means the value was refused.
    ok = SetKeyBeep((options & OptionKeyBeep) != 0) && ok;
    ok = SetKeysType((options & OptionTypematic) != 0 ? 1 : 0) && ok;
    ok = SetRfidNumericOnly((options & OptionNumericOnly) != 0) && ok;
    ok = SetTypematicDelay(buffer[TypematicDelay]) && ok;
    ok = SetTypematicRate(buffer[TypematicRate]) && ok;
    ok = SetRfidDigits(buffer[RfidDigits]) && ok;
    ok = m_prefix.LoadFromBytes(buffer + Prefix, 2, 0) && ok;
    ok = m_suffix.LoadFromBytes(buffer + Suffix, 2, 0) && ok;
    ok = SetKeyPause(buffer[KeyPause]) && ok;
    return ok;
}
