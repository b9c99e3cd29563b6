// Key shapes of the keyboard grid: neighbour flags, allowed changes, merging and splitting keys.
#include "model/Keyboard.h"

#include "model/KeyCell.h"

#include <utility>
#include <vector>

namespace {

struct Neighbour
{
    int dColumn;
    int dRow;
    uint8_t bit;
};

// The order in which shape flags are collected.
constexpr Neighbour kShapeOrder[] = {
    {-1, 0, ShapeLeft},      {0, -1, ShapeAbove},     {1, 0, ShapeRight},       {0, 1, ShapeBelow},
    {1, 1, ShapeRightBelow}, {-1, 1, ShapeLeftBelow}, {1, -1, ShapeRightAbove}, {-1, -1, ShapeLeftAbove},
};

// The order in which the cells of a key are linked and cleared.
constexpr Neighbour kLinkOrder[] = {
    {-1, 0, ShapeLeft},      {1, 0, ShapeRight},       {0, -1, ShapeAbove},     {0, 1, ShapeBelow},
    {1, 1, ShapeRightBelow}, {1, -1, ShapeRightAbove}, {-1, 1, ShapeLeftBelow}, {-1, -1, ShapeLeftAbove},
};

bool IsChangeOfSingle(uint8_t change)
{
    switch (change) {
    case 0x01:
    case 0x02:
    case 0x04:
    case 0x08:
    case 0x1A:
    case 0x26:
    case 0x49:
    case 0x85:
        return true;
    default:
        return false;
    }
}

} // namespace

bool Keyboard::ClearKey(uint16_t column, uint16_t row, uint8_t layout, bool resetName)
{
    layout = ResolveLayout(layout);
    KeyCell* cell = nullptr;
    if (!GetCell(column, row, layout, &cell)) {
        return false;
    }
    // A layout switch key is one key in every layout it is linked into; an unrelated key at the
    // same position (the other side of a double keyboard) is not part of it and keeps its codes.
    std::vector<uint8_t> layouts{layout};
    if (cell->IsLayoutSwitch()) {
        layouts.clear();
        for (int l = 1; l <= m_layoutCount; ++l) {
            KeyCell* other = CellAt(column, row, static_cast<uint8_t>(l));
            if (other != nullptr && other->IsSameKeyAs(cell)) {
                layouts.push_back(static_cast<uint8_t>(l));
            }
        }
    }
    // Clearing unlinks cells, so every shape must be known before the first cell is touched.
    std::vector<uint8_t> shapes;
    shapes.reserve(layouts.size());
    for (const uint8_t current : layouts) {
        shapes.push_back(GetShapeFlags(column, row, current));
    }
    for (size_t i = 0; i < layouts.size(); ++i) {
        const uint8_t current = layouts[i];
        const uint8_t flags = shapes[i];
        if (KeyCell* target = CellAt(column, row, current)) {
            target->Clear(resetName, true);
        }
        for (const Neighbour& n : kLinkOrder) {
            if ((flags & n.bit) == 0) {
                continue;
            }
            if (KeyCell* neighbour = CellAt(column + n.dColumn, row + n.dRow, current)) {
                neighbour->Clear(resetName, true);
            }
        }
    }
    return true;
}

uint8_t Keyboard::GetShapeFlags(uint16_t column, uint16_t row, uint8_t layout)
{
    layout = ResolveLayout(layout);
    KeyCell* cell = nullptr;
    if (!GetCell(column, row, layout, &cell)) {
        return 0;
    }
    uint8_t flags = 0;
    for (const Neighbour& n : kShapeOrder) {
        KeyCell* neighbour = CellAt(column + n.dColumn, row + n.dRow, layout);
        if (neighbour != nullptr && cell->IsSameKeyAs(neighbour)) {
            flags |= n.bit;
        }
    }
    return flags;
}

uint8_t Keyboard::GetShapeFlags(GridPoint point, uint8_t layout)
{
    return GetShapeFlags(GridColumn(point), GridRow(point), layout);
}

uint8_t Keyboard::GetShapeFlags()
{
    return GetShapeFlags(m_curColumn, m_curRow, m_curLayout);
}

uint8_t Keyboard::GetAllowedShapeChanges(uint16_t column, uint16_t row, uint8_t layout)
{
    const uint8_t flags = GetShapeFlags(column, row, layout);
    if (flags == 0) {
        return GetAllowedChangesOfSingle(column, row, layout);
    }
    if ((flags & ShapeDiagonals) != 0) {
        return 0x0F;
    }
    return GetAllowedChangesOfDouble(column, row, layout);
}

uint8_t Keyboard::GetAllowedShapeChanges(GridPoint point, uint8_t layout)
{
    return GetAllowedShapeChanges(GridColumn(point), GridRow(point), layout);
}

uint8_t Keyboard::GetAllowedShapeChanges()
{
    return GetAllowedShapeChanges(m_curColumn, m_curRow, m_curLayout);
}

bool Keyboard::ChangeShape(uint16_t column, uint16_t row, uint8_t change, uint8_t layout)
{
    layout = ResolveLayout(layout);
    const uint8_t allowed = GetAllowedShapeChanges(column, row, layout);
    if ((change & allowed) != change) {
        return false;
    }
    const uint8_t flags = GetShapeFlags(column, row, layout);
    if (flags == 0) {
        return MergeSingle(column, row, change, layout);
    }
    if ((flags & ShapeDiagonals) == 0) {
        return ChangeDouble(column, row, change, layout);
    }
    return ChangeQuad(column, row, change, layout);
}

bool Keyboard::ChangeShape(GridPoint point, uint8_t change, uint8_t layout)
{
    return ChangeShape(GridColumn(point), GridRow(point), change, layout);
}

bool Keyboard::MakeSingle(uint16_t column, uint16_t row, uint8_t layout, bool selectCell)
{
    layout = ResolveLayout(layout);
    if (GetShapeFlags(column, row, layout) == 0) {
        return false;
    }
    KeyCell* cell = nullptr;
    if (!GetCell(column, row, layout, &cell)) {
        return false;
    }
    KeyCell* master = cell->GetMaster();
    const std::string name = master->GetName();
    const std::string codes = master->FormatCodesText(0);

    ClearKey(column, row, layout, true);

    if (!GetCell(column, row, layout, &cell)) {
        return false;
    }
    const bool named = cell->SetName(name);
    const bool parsed = cell->ParseCodesText(codes);
    if (selectCell) {
        uint16_t cellColumn = 0;
        uint16_t cellRow = 0;
        uint8_t cellLayout = 0;
        cell->GetPosition(&cellColumn, &cellRow, &cellLayout);
        m_curColumn = cellColumn;
        m_curRow = cellRow;
        m_curLayout = cellLayout;
    }
    return named && parsed;
}

uint8_t Keyboard::GetAllowedChangesOfSingle(uint16_t column, uint16_t row, uint8_t layout)
{
    layout = ResolveLayout(layout);
    KeyCell* cell = nullptr;
    if (!GetCell(column, row, layout, &cell) || cell->IsLayoutSwitch() || !cell->IsProgrammed()) {
        return 0;
    }
    const auto isFree = [](KeyCell* other) { return other != nullptr && !other->IsProgrammed(); };
    const auto isUsable = [&](KeyCell* other) {
        return other != nullptr && (cell->IsSameKeyAs(other) || !other->IsProgrammed());
    };

    uint8_t bits = 0;
    KeyCell* left = CellAt(column - 1, row, layout);
    KeyCell* above = CellAt(column, row - 1, layout);
    KeyCell* right = CellAt(column + 1, row, layout);
    KeyCell* below = CellAt(column, row + 1, layout);
    if (isFree(left)) {
        bits |= ShapeLeft;
    }
    if (isFree(above)) {
        bits |= ShapeAbove;
    }
    if (isFree(right)) {
        bits |= ShapeRight;
    }
    const bool leftUsable = isUsable(left);
    const bool upUsable = isUsable(above);
    const bool rightUsable = isUsable(right);

    if (below != nullptr) {
        if (isFree(below)) {
            bits |= ShapeBelow;
        }
        if (isUsable(below)) {
            if (rightUsable && isFree(CellAt(column + 1, row + 1, layout))) {
                bits |= ShapeRightBelow;
            }
            if (leftUsable && isFree(CellAt(column - 1, row + 1, layout))) {
                bits |= ShapeLeftBelow;
            }
        }
    }
    if (upUsable) {
        if (rightUsable && isFree(CellAt(column + 1, row - 1, layout))) {
            bits |= ShapeRightAbove;
        }
        if (leftUsable && isFree(CellAt(column - 1, row - 1, layout))) {
            bits |= ShapeLeftAbove;
        }
    }
    return bits;
}

uint8_t Keyboard::GetAllowedChangesOfDouble(uint16_t column, uint16_t row, uint8_t layout)
{
    layout = ResolveLayout(layout);
    const uint8_t flags = GetShapeFlags(column, row, layout);
    const auto pairFree = [&](int column1, int row1, int column2, int row2) {
        KeyCell* first = CellAt(column1, row1, layout);
        KeyCell* second = CellAt(column2, row2, layout);
        return first != nullptr && second != nullptr && !first->IsProgrammed() && !second->IsProgrammed();
    };

    uint8_t bits = 0;
    if (flags == ShapeAbove || flags == ShapeBelow) {
        const int d = flags == ShapeAbove ? -1 : 1;
        if (pairFree(column - 1, row, column - 1, row + d)) {
            bits |= ShapeLeft;
        }
        if (pairFree(column + 1, row, column + 1, row + d)) {
            bits |= ShapeRight;
        }
    } else if (flags == ShapeLeft || flags == ShapeRight) {
        const int d = flags == ShapeLeft ? -1 : 1;
        if (pairFree(column, row - 1, column + d, row - 1)) {
            bits |= ShapeAbove;
        }
        if (pairFree(column, row + 1, column + d, row + 1)) {
            bits |= ShapeBelow;
        }
    }
    return bits;
}

bool Keyboard::MergeSingle(uint16_t column, uint16_t row, uint8_t change, uint8_t layout)
{
    if (!IsChangeOfSingle(change)) {
        return false;
    }
    layout = ResolveLayout(layout);
    KeyCell* cell = nullptr;
    if (!GetCell(column, row, layout, &cell)) {
        return false;
    }
    KeyCell* master = cell->GetMaster();
    cell->SetMaster(master);

    bool ok = true;
    for (const Neighbour& n : kLinkOrder) {
        if ((change & n.bit) == 0) {
            continue;
        }
        if (KeyCell* neighbour = CellAt(column + n.dColumn, row + n.dRow, layout)) {
            neighbour->SetMaster(master);
        } else {
            ok = false;
        }
    }
    return ok;
}

bool Keyboard::ChangeDouble(uint16_t column, uint16_t row, uint8_t change, uint8_t layout)
{
    layout = ResolveLayout(layout);
    const uint8_t flags = GetShapeFlags(column, row, layout);
    if ((flags & ShapeDiagonals) != 0) {
        return false;
    }
    if (change == 0) {
        return MakeSingle(column, row, layout, true);
    }

    int newColumn1 = column;
    int newRow1 = row;
    int newColumn2 = column;
    int newRow2 = row;
    if ((change == ShapeAbove || change == ShapeBelow) && (flags == ShapeLeft || flags == ShapeRight)) {
        const int d = change == ShapeAbove ? -1 : 1;
        newRow1 = newRow2 = row + d;
        newColumn2 = column + (flags == ShapeLeft ? -1 : 1);
    } else if ((change == ShapeLeft || change == ShapeRight) &&
               (flags == ShapeAbove || flags == ShapeBelow)) {
        const int d = change == ShapeLeft ? -1 : 1;
        newColumn1 = newColumn2 = column + d;
        newRow2 = row + (flags == ShapeAbove ? -1 : 1);
    } else {
        return false;
    }

    KeyCell* cell = nullptr;
    if (!GetCell(column, row, layout, &cell)) {
        return false;
    }
    KeyCell* master = cell->GetMaster();
    bool ok = true;
    for (const auto& [c, r] : {std::pair{newColumn1, newRow1}, std::pair{newColumn2, newRow2}}) {
        if (KeyCell* grown = CellAt(c, r, layout)) {
            grown->SetMaster(master);
        } else {
            ok = false;
        }
    }
    return ok;
}

bool Keyboard::ChangeQuad(uint16_t column, uint16_t row, uint8_t change, uint8_t layout)
{
    layout = ResolveLayout(layout);
    const uint8_t flags = GetShapeFlags(column, row, layout);
    if ((flags & ShapeDiagonals) == 0) {
        return false;
    }
    if (change == 0) {
        return MakeSingle(column, row, layout, true);
    }
    uint8_t keep = 0;
    switch (change) {
    case ShapeAbove:
        if ((flags & ShapeAbove) != 0) {
            --row;
        }
        keep = flags & (ShapeLeft | ShapeRight);
        break;
    case ShapeBelow:
        if ((flags & ShapeBelow) != 0) {
            ++row;
        }
        keep = flags & (ShapeLeft | ShapeRight);
        break;
    case ShapeLeft:
        if ((flags & ShapeLeft) != 0) {
            --column;
        }
        keep = flags & (ShapeAbove | ShapeBelow);
        break;
    case ShapeRight:
        if ((flags & ShapeRight) != 0) {
            ++column;
        }
        keep = flags & (ShapeAbove | ShapeBelow);
        break;
    default:
        return false;
    }
    if (!MakeSingle(column, row, layout, true)) {
        return false;
    }
    return MergeSingle(column, row, keep, layout);
}
