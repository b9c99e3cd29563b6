// Geometry of the keyboard picture: a square cell per grid position (39 x 39 at the least, larger
// when the window gives the picture more room), each key drawn once from its first cell, and the
// hit test of a point.
#pragma once

#include "model/GridPoint.h"

#include <cstdint>
#include <optional>
#include <vector>

class Keyboard;

constexpr int kCellSize = 39;

// The shape of a key cap: single, two cells high, two cells wide, four cells.
enum class KeyShape : uint8_t { Single = 1, DoubleHigh = 2, DoubleWide = 3, Quad = 4 };
enum class KeyState : uint8_t { Unselected = 1, Selected = 2, SelectedFocused = 3 };

struct KeyRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct PictureKey
{
    GridPoint cell = 0; // the cell the key is drawn from
    KeyRect rect;       // from the picture's origin, in logical pixels
    KeyShape shape = KeyShape::Single;
    uint8_t imageKind = 0; // 0 not programmed, 1 to 3 by the cell's kind, 4 anything else
    bool selected = false;
};

KeyShape ShapeFromFlags(uint8_t shapeFlags);
// The rectangle of the key drawn at a cell with these shape flags; a key continuing up or left
// starts one cell earlier.
KeyRect KeyRectAt(uint16_t column, uint16_t row, uint8_t shapeFlags, int cellSize = kCellSize);
// Every key of the current layout once, the key under the cursor marked selected.
std::vector<PictureKey> GetPictureKeys(Keyboard& keyboard, int cellSize = kCellSize);
// The key drawn over a cell of the current layout, found from any of its cells.
std::optional<PictureKey> GetPictureKeyAt(Keyboard& keyboard, GridPoint cell, int cellSize = kCellSize);
// The grid cell under a point given from the picture's origin; none outside the grid.
std::optional<GridPoint> HitTestKey(const Keyboard& keyboard, int x, int y, int cellSize = kCellSize);
// The picture's width and height in logical pixels.
KeyRect GetPictureRect(const Keyboard& keyboard, int cellSize = kCellSize);
// The largest whole cell size whose picture fits the room, never below kCellSize: whole pixels
// keep the caps' edges and the hit test exact.
int FitCellSize(const Keyboard& keyboard, int width, int height);
