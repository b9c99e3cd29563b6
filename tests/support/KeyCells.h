// Short ways to name a cell of the picture and read a key's codes in the tests.
#pragma once

#include "model/GridPoint.h"
#include "model/Keyboard.h"

#include <cstdint>
#include <string>

inline GridPoint At(uint16_t column, uint16_t row)
{
    return MakeGridPoint(column, row);
}

// The key's codes as the panel names them.
inline std::string Codes(Keyboard& keyboard, GridPoint key, uint8_t layout = 1)
{
    std::string codes;
    keyboard.GetKeyTexts(nullptr, &codes, key, layout);
    return codes;
}
