#include "model/UsbKeyboard.h"

#include "keycodes/NumberFormat.h"
#include "model/KeyCell.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

} // namespace

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
                if (shape == 0) {
                    signature += ':';
                } else {
                    signature += ":G";
                    signature += FormatUnsigned(shape);
                    signature += ',';
                }
                signature += cell->FormatCodesText(1);
                signature += kLineEnd;
            }
        }
    }
    return signature;
}
