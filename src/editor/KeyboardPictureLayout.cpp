#include "editor/KeyboardPictureLayout.h"

#include "model/Keyboard.h"

#include <algorithm>

KeyShape ShapeFromFlags(uint8_t shapeFlags)
{
    const bool high = (shapeFlags & (ShapeAbove | ShapeBelow)) != 0;
    const bool wide = (shapeFlags & (ShapeLeft | ShapeRight)) != 0;
    if (high && wide) {
        return KeyShape::Quad;
    }
    return high ? KeyShape::DoubleHigh : (wide ? KeyShape::DoubleWide : KeyShape::Single);
}

KeyRect KeyRectAt(uint16_t column, uint16_t row, uint8_t shapeFlags, int cellSize)
{
    KeyRect rect{(column - 1) * cellSize, (row - 1) * cellSize, cellSize, cellSize};
    if ((shapeFlags & (ShapeAbove | ShapeBelow)) != 0) {
        rect.height *= 2;
    }
    if ((shapeFlags & ShapeAbove) != 0) {
        rect.y -= cellSize;
    }
    if ((shapeFlags & (ShapeLeft | ShapeRight)) != 0) {
        rect.width *= 2;
    }
    if ((shapeFlags & ShapeLeft) != 0) {
        rect.x -= cellSize;
    }
    return rect;
}

namespace {

// The key drawn from a cell that starts one; selected when the cursor is on any of its cells.
PictureKey MakePictureKey(Keyboard& keyboard, uint16_t column, uint16_t row, uint8_t flags, GridPoint cursor,
                          int cellSize)
{
    PictureKey key;
    key.cell = MakeGridPoint(column, row);
    key.rect = KeyRectAt(column, row, flags, cellSize);
    key.shape = ShapeFromFlags(flags);
    const uint8_t kind = keyboard.GetKeyImageIndex(column, row);
    key.imageKind = kind <= 3 ? kind : 4;
    key.selected = cursor == key.cell ||
                   ((flags & ShapeBelow) != 0 && cursor == MakeGridPoint(column, row + 1)) ||
                   ((flags & ShapeRight) != 0 && cursor == MakeGridPoint(column + 1, row)) ||
                   ((flags & ShapeRightBelow) != 0 && cursor == MakeGridPoint(column + 1, row + 1));
    return key;
}

} // namespace

std::vector<PictureKey> GetPictureKeys(Keyboard& keyboard, int cellSize)
{
    std::vector<PictureKey> keys;
    uint16_t columns = 0;
    uint16_t rows = 0;
    GridPoint cursor = 0;
    if (!keyboard.GetGridSize(&columns, &rows) || !keyboard.GetCurrentPosition(&cursor)) {
        return keys;
    }
    const uint8_t layout = keyboard.GetCurrentLayout();
    for (uint16_t column = 1; column <= columns; ++column) {
        for (uint16_t row = 1; row <= rows; ++row) {
            const uint8_t flags = keyboard.GetShapeFlags(column, row, layout);
            if ((flags & (ShapeAbove | ShapeLeft)) != 0) {
                continue;
            }
            keys.push_back(MakePictureKey(keyboard, column, row, flags, cursor, cellSize));
        }
    }
    return keys;
}

std::optional<PictureKey> GetPictureKeyAt(Keyboard& keyboard, GridPoint cell, int cellSize)
{
    GridPoint cursor = 0;
    if (!keyboard.IsValidPosition(cell) || !keyboard.GetCurrentPosition(&cursor)) {
        return std::nullopt;
    }
    const uint8_t layout = keyboard.GetCurrentLayout();
    uint16_t column = GridColumn(cell);
    uint16_t row = GridRow(cell);
    const uint8_t flags = keyboard.GetShapeFlags(column, row, layout);
    column -= (flags & ShapeLeft) != 0 ? 1 : 0;
    row -= (flags & ShapeAbove) != 0 ? 1 : 0;
    return MakePictureKey(keyboard, column, row, keyboard.GetShapeFlags(column, row, layout), cursor,
                          cellSize);
}

std::optional<GridPoint> HitTestKey(const Keyboard& keyboard, int x, int y, int cellSize)
{
    if (x < 0 || y < 0 || cellSize <= 0) {
        return std::nullopt;
    }
    const int column = x / cellSize + 1;
    const int row = y / cellSize + 1;
    if (column > 0xFFFF || row > 0xFFFF) {
        return std::nullopt;
    }
    const GridPoint point = MakeGridPoint(static_cast<uint16_t>(column), static_cast<uint16_t>(row));
    if (!keyboard.IsValidPosition(point)) {
        return std::nullopt;
    }
    return point;
}

KeyRect GetPictureRect(const Keyboard& keyboard, int cellSize)
{
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard.GetGridSize(&columns, &rows);
    return KeyRect{0, 0, columns * cellSize, rows * cellSize};
}

int FitCellSize(const Keyboard& keyboard, int width, int height)
{
    uint16_t columns = 0;
    uint16_t rows = 0;
    if (!keyboard.GetGridSize(&columns, &rows) || columns == 0 || rows == 0) {
        return kCellSize;
    }
    return std::max(kCellSize, std::min(width / columns, height / rows));
}
