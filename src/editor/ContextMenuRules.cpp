#include "editor/ContextMenuRules.h"

#include "editor/EditorCommands.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"

namespace {

constexpr uint8_t kDirections = ShapeAbove | ShapeBelow | ShapeLeft | ShapeRight;

bool IsDouble(uint8_t shapeFlags)
{
    return shapeFlags != 0 && (shapeFlags & ShapeDiagonals) == 0;
}

bool Has(uint8_t mask, uint8_t bits)
{
    return (mask & bits) == bits;
}

} // namespace

bool IsCtrlOnly(uint8_t modifiers)
{
    return modifiers != 0 && (modifiers & ~(ModLeftCtrl | ModRightCtrl)) == 0;
}

uint8_t GetCtrlClickChange(Keyboard& keyboard, GridPoint current, GridPoint clicked)
{
    KeyCell* cell = nullptr;
    if (!keyboard.GetCell(current, &cell) || !cell->IsProgrammed()) {
        return 0;
    }
    const uint8_t shape = keyboard.GetShapeFlags(current, keyboard.GetCurrentLayout());
    if (shape >= ShapeRightBelow) {
        return 0;
    }
    const int dx = GridColumn(clicked) - GridColumn(current);
    const int dy = GridRow(clicked) - GridRow(current);
    if (dx < -1 || dx > 1 || dy < -1 || dy > 1) {
        return 0;
    }
    uint8_t change = 0;
    if (dx == -1 && (shape & ShapeLeft) == 0) {
        change = ShapeLeft;
    } else if (dx == 1 && (shape & ShapeRight) == 0) {
        change = ShapeRight;
    }
    if (dy == -1 && (shape & ShapeAbove) == 0) {
        change |= ShapeAbove;
    } else if (dy == 1 && (shape & ShapeBelow) == 0) {
        change |= ShapeBelow;
    }
    if (shape != 0 || dx == 0 || dy == 0) {
        return change;
    }
    if (dx < 0) {
        return change | (dy < 0 ? ShapeLeftAbove : ShapeLeftBelow);
    }
    return change | (dy < 0 ? ShapeRightAbove : ShapeRightBelow);
}

KeyMenuState GetKeyMenuState(Keyboard& keyboard, GridPoint key, const std::string& clipCodes,
                             bool functionEntrySelected)
{
    KeyMenuState state;
    KeyCell* cell = nullptr;
    if (!keyboard.GetCell(key, &cell)) {
        return state;
    }
    const uint8_t layout = keyboard.GetCurrentLayout();
    const bool programmed = cell->IsProgrammed();
    const uint8_t shape = keyboard.GetShapeFlags(key, layout);
    const uint8_t allowed = keyboard.GetAllowedShapeChanges(key, layout);
    const bool isDouble = IsDouble(shape);
    const bool canPaste = keyboard.IsValidKeyTexts(clipCodes, key, layout);
    auto grayIf = [&state](bool condition, uint16_t command) {
        if (condition) {
            state.grayed.insert(command);
        }
    };

    grayIf(cell->IsLayoutSwitch(), CmdProgramKey);
    grayIf(!functionEntrySelected, CmdPasteFromList);
    grayIf(!programmed, CmdCopy);
    grayIf(!programmed, CmdCut);
    grayIf(!programmed || !canPaste, CmdSwap);
    grayIf(!canPaste, CmdPaste);
    grayIf(!programmed || shape == 0, CmdSingle);
    // As the command itself: a key whose name or codes differ from its start can be cleared.
    grayIf(!cell->IsModified(), CmdClearKey);
    const struct
    {
        uint16_t command;
        uint8_t bit;
    } doubles[] = {{CmdDoubleLeft, ShapeLeft},
                   {CmdDoubleUp, ShapeAbove},
                   {CmdDoubleRight, ShapeRight},
                   {CmdDoubleDown, ShapeBelow}};
    for (const auto& item : doubles) {
        grayIf(!programmed || isDouble || !Has(allowed, item.bit), item.command);
    }
    state.doublePopupGrayed = !programmed || (allowed & kDirections) == 0 || isDouble;
    const struct
    {
        uint16_t command;
        uint8_t bits;
    } corners[] = {{CmdQuadRightDown, ShapeBelow | ShapeRight | ShapeRightBelow},
                   {CmdQuadRightUp, ShapeAbove | ShapeRight | ShapeRightAbove},
                   {CmdQuadLeftDown, ShapeBelow | ShapeLeft | ShapeLeftBelow},
                   {CmdQuadLeftUp, ShapeAbove | ShapeLeft | ShapeLeftAbove}};
    for (const auto& item : corners) {
        grayIf(!programmed || !Has(allowed, item.bits), item.command);
    }
    state.showCornerQuad = !((allowed & ShapeDiagonals) == 0 && programmed && isDouble);
    if (state.showCornerQuad) {
        state.quadPopupGrayed = !programmed || (allowed & ShapeDiagonals) == 0;
    } else {
        const struct
        {
            uint16_t command;
            uint8_t bit;
        } widen[] = {{CmdQuadLeft, ShapeLeft},
                     {CmdQuadUp, ShapeAbove},
                     {CmdQuadRight, ShapeRight},
                     {CmdQuadDown, ShapeBelow}};
        for (const auto& item : widen) {
            grayIf(!Has(allowed, item.bit), item.command);
        }
        state.quadPopupGrayed = (allowed & kDirections) == 0;
    }
    return state;
}
