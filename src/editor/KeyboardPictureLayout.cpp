#include "editor/KeyboardPictureLayout.h"

#include "model/Keyboard.h"

KeyShape ShapeFromFlags(uint8_t shapeFlags)
{
    const bool high = (shapeFlags & (ShapeAbove | ShapeBelow)) != 0;
    const bool wide = (shapeFlags & (ShapeLeft | ShapeRight)) != 0;
    if (high && wide) {
        return KeyShape::Quad;
    }
    return high ? KeyShape::DoubleHigh : (wide ? KeyShape::DoubleWide : KeyShape::Single);
}

KeyRect KeyRectAt(uint16_t column, uint16_t row, uint8_t shapeFlags)
{
    KeyRect rect{(column - 1) * kCellSize, (row - 1) * kCellSize, kCellSize, kCellSize};
    if ((shapeFlags & (ShapeAbove | ShapeBelow)) != 0) {
        rect.height *= 2;
    }
    if ((shapeFlags & ShapeAbove) != 0) {
        rect.y -= kCellSize;
    }
    if ((shapeFlags & (ShapeLeft | ShapeRight)) != 0) {
        rect.width *= 2;
    }
    if ((shapeFlags & ShapeLeft) != 0) {
        rect.x -= kCellSize;
    }
    return rect;
}

std::vector<PictureKey> GetPictureKeys(Keyboard& keyboard)
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
            PictureKey key;
            key.cell = MakeGridPoint(column, row);
            key.rect = KeyRectAt(column, row, flags);
            key.shape = ShapeFromFlags(flags);
            const uint8_t kind = keyboard.GetKeyImageIndex(column, row);
            key.imageKind = kind <= 3 ? kind : 4;
            key.selected = cursor == key.cell ||
                           ((flags & ShapeBelow) != 0 && cursor == MakeGridPoint(column, row + 1)) ||
                           ((flags & ShapeRight) != 0 && cursor == MakeGridPoint(column + 1, row)) ||
                           ((flags & ShapeRightBelow) != 0 && cursor == MakeGridPoint(column + 1, row + 1));
            keys.push_back(key);
        }
    }
    return keys;
}

std::optional<GridPoint> HitTestKey(const Keyboard& keyboard, int x, int y)
{
    if (x < 0 || y < 0) {
        return std::nullopt;
    }
    const GridPoint point =
        MakeGridPoint(static_cast<uint16_t>(x / kCellSize + 1), static_cast<uint16_t>(y / kCellSize + 1));
    if (x / kCellSize + 1 > 0xFFFF || y / kCellSize + 1 > 0xFFFF || !keyboard.IsValidPosition(point)) {
        return std::nullopt;
    }
    return point;
}

KeyRect GetPictureRect(const Keyboard& keyboard)
{
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard.GetGridSize(&columns, &rows);
    return KeyRect{0, 0, columns * kCellSize, rows * kCellSize};
}
