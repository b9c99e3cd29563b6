// A grid position packed into 32 bits: column in the low half, row in the high half.
#pragma once

#include <cstdint>

using GridPoint = uint32_t;

constexpr GridPoint MakeGridPoint(uint16_t column, uint16_t row)
{
    return static_cast<GridPoint>(column) | (static_cast<GridPoint>(row) << 16);
}
constexpr uint16_t GridColumn(GridPoint point)
{
    return static_cast<uint16_t>(point & 0xFFFF);
}
constexpr uint16_t GridRow(GridPoint point)
{
    return static_cast<uint16_t>(point >> 16);
}
