// Small helpers the model tests share.
#pragma once

#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/UsbKeyboardCommon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// The codes in use, first to last.
inline std::vector<uint32_t> Codes(const KeyCell& cell)
{
    std::vector<uint32_t> codes;
    for (int i = 1; i <= cell.GetCodeCount(); ++i) {
        codes.push_back(cell.GetCode(i));
    }
    return codes;
}

// The codes text of the key at a position; empty when the key holds no programming.
inline std::string CodesAt(Keyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout)
{
    std::string name;
    std::string codes;
    keyboard.GetKeyTexts(&name, &codes, column, row, layout);
    return codes;
}

inline UsbKeyCell* CellAt(UsbKeyboardCommon& keyboard, uint16_t column, uint16_t row, uint8_t layout)
{
    UsbKeyCell* cell = nullptr;
    EXPECT_TRUE(keyboard.GetCellAt(column, row, layout, &cell));
    return cell;
}

// The cells the table holds.
inline int CountCells(UsbKeyboardCommon& keyboard)
{
    int count = 0;
    for (uint16_t index = 1; index <= keyboard.GetCellCount(false); ++index) {
        UsbKeyCell* cell = nullptr;
        count += keyboard.LookupCell(index, &cell) ? 1 : 0;
    }
    return count;
}
