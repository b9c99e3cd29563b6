#include "model/ProjectDiff.h"

#include "lang/TextHelpers.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

#include <algorithm>
#include <functional>

namespace {

// What one side has at a position: nothing, or the key the position belongs to.
struct KeySide
{
    const KeyCell* cell = nullptr;   // the cell at the position
    const KeyCell* master = nullptr; // the key it belongs to
    std::string shape;

    bool Exists() const { return cell != nullptr; }
    bool IsKeyHere() const { return cell != nullptr && master == cell; }
    bool IsProgrammed() const { return master != nullptr && master->IsProgrammed(); }
};

std::string DescribeShape(Keyboard& keyboard, const KeyCell& cell, uint16_t column, uint16_t row,
                          uint8_t layout)
{
    if (cell.GetMaster() != &cell) {
        uint16_t masterColumn = 0;
        uint16_t masterRow = 0;
        cell.GetMaster()->GetPosition(&masterColumn, &masterRow, nullptr);
        return "part of the key at " + std::to_string(masterColumn) + "," + std::to_string(masterRow);
    }
    const uint8_t flags = keyboard.GetShapeFlags(column, row, layout);
    const bool vertical = (flags & (ShapeAbove | ShapeBelow)) != 0;
    const bool horizontal = (flags & (ShapeLeft | ShapeRight)) != 0;
    if (vertical && horizontal) {
        return "quad";
    }
    return vertical ? "double, down" : (horizontal ? "double, right" : "single");
}

KeySide ReadSide(Keyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout)
{
    KeySide side;
    KeyCell* cell = nullptr;
    if (layout > keyboard.GetLayoutCount() || !keyboard.IsValidPosition(column, row) ||
        !keyboard.GetCell(column, row, layout, &cell) || cell == nullptr) {
        return side;
    }
    side.cell = cell;
    side.master = cell->GetMaster();
    side.shape = DescribeShape(keyboard, *cell, column, row, layout);
    return side;
}

std::string CodesText(const KeyCell& cell)
{
    std::string text;
    for (int i = 1; i <= cell.GetCodeCount(); ++i) {
        text += (text.empty() ? "" : " ") + TrimBlanks(cell.GetCodeDisplayText(i));
    }
    return text;
}

std::string NumberWithName(uint8_t value, const std::string& name)
{
    return name.empty() ? std::to_string(value) : std::to_string(value) + " (" + name + ")";
}

// On a keyboard a layout switch key keeps no simple-key flag: its kind takes the bits.
bool KeepsSimpleFlag(const KeyCell& cell)
{
    return !cell.IsLayoutSwitch();
}

class Comparison
{
public:
    Comparison(Keyboard& a, Keyboard& b, const DiffSettings& settings, ProjectDiff& diff)
        : m_a(a), m_b(b), m_settings(settings), m_diff(diff)
    {
    }

    void CompareLayouts()
    {
        uint16_t columnsA = 0;
        uint16_t rowsA = 0;
        uint16_t columnsB = 0;
        uint16_t rowsB = 0;
        m_a.GetGridSize(&columnsA, &rowsA);
        m_b.GetGridSize(&columnsB, &rowsB);
        const uint16_t columns = std::max(columnsA, columnsB);
        const uint16_t rows = std::max(rowsA, rowsB);
        const uint8_t layouts = std::max(m_a.GetLayoutCount(), m_b.GetLayoutCount());
        for (uint8_t layout = 1; layout <= layouts; ++layout) {
            const bool inA = layout <= m_a.GetLayoutCount();
            const bool inB = layout <= m_b.GetLayoutCount();
            if (inA != inB) {
                AddLayoutRow(layout, columns, rows, inA);
                continue;
            }
            for (uint16_t row = 1; row <= rows; ++row) {
                for (uint16_t column = 1; column <= columns; ++column) {
                    CompareKey(layout, column, row);
                }
            }
        }
    }

    void CompareOptions()
    {
        AddOption("keyBeep", m_a.CanSetKeyBeep() ? m_a.GetKeyBeep() : 0,
                  m_b.CanSetKeyBeep() ? m_b.GetKeyBeep() : 0);
        AddOption("keysType", m_a.GetKeysType(), m_b.GetKeysType());
        AddOption("typematicRate", m_a.GetTypematicRate(), m_b.GetTypematicRate());
        AddOption("typematicDelay", m_a.GetTypematicDelay(), m_b.GetTypematicDelay());
        AddOption("rfidDigits", m_a.GetRfidDigits(), m_b.GetRfidDigits());
        AddOption("rfidNumericOnly", m_a.GetRfidNumericOnly(), m_b.GetRfidNumericOnly());
        AddOption("keyPause", m_a.GetKeyPause(), m_b.GetKeyPause());
        for (const bool isPrefix : {true, false}) {
            const char* name = isPrefix ? "prefix" : "suffix";
            AddOptionText(name, AffixText(m_a, isPrefix), AffixText(m_b, isPrefix));
        }
    }

private:
    static std::string AffixText(Keyboard& keyboard, bool isPrefix)
    {
        if (keyboard.GetAffixStyle() == 1) {
            return std::to_string(keyboard.GetAffixKeyCode(isPrefix)) +
                   (keyboard.GetAffixExtended(isPrefix) ? " extended" : "");
        }
        const std::string modifier = keyboard.GetAffixText(nullptr, isPrefix, true);
        const std::string key = keyboard.GetAffixText(nullptr, isPrefix, false);
        return modifier.empty() || key.empty() ? modifier + key : modifier + " " + key;
    }

    void AddOption(const char* name, unsigned a, unsigned b)
    {
        AddOptionText(name, std::to_string(a), std::to_string(b));
    }

    void AddOptionText(const char* name, const std::string& a, const std::string& b)
    {
        if (a != b) {
            DiffRow row;
            row.field = DiffField::Option;
            row.option = name;
            row.a = a;
            row.b = b;
            m_diff.rows.push_back(std::move(row));
        }
    }

    static uint32_t CountProgrammed(Keyboard& keyboard, uint8_t layout, uint16_t columns, uint16_t rows,
                                    const std::function<void(uint16_t, uint16_t)>& each)
    {
        uint32_t count = 0;
        for (uint16_t row = 1; row <= rows; ++row) {
            for (uint16_t column = 1; column <= columns; ++column) {
                const KeySide side = ReadSide(keyboard, column, row, layout);
                if (side.IsKeyHere() && side.IsProgrammed()) {
                    ++count;
                    each(column, row);
                }
            }
        }
        return count;
    }

    // One row for the layout; its programmed keys are marked for the picture.
    void AddLayoutRow(uint8_t layout, uint16_t columns, uint16_t rows, bool inA)
    {
        Keyboard& owner = inA ? m_a : m_b;
        const KeyDiffState state = inA ? KeyDiffState::OnlyA : KeyDiffState::OnlyB;
        const uint32_t keys =
            CountProgrammed(owner, layout, columns, rows, [&](uint16_t column, uint16_t row) {
                m_diff.keyStates[{layout, column, row}] = state;
            });
        DiffRow row;
        row.field = DiffField::Layout;
        row.layout = layout;
        const std::string present = "present, programmed keys: " + std::to_string(keys);
        row.a = inA ? present : "absent";
        row.b = inA ? "absent" : present;
        m_diff.rows.push_back(std::move(row));
    }

    // A position is compared where either side has a key of its own there; a position both sides
    // cover with a bigger key is that key's.
    void CompareKey(uint8_t layout, uint16_t column, uint16_t row)
    {
        const KeySide a = ReadSide(m_a, column, row, layout);
        const KeySide b = ReadSide(m_b, column, row, layout);
        if (!a.IsKeyHere() && !b.IsKeyHere()) {
            return;
        }
        const size_t before = m_diff.rows.size();
        DiffRow base;
        base.layout = layout;
        base.column = column;
        base.row = row;
        base.key = a.Exists() ? a.cell->GetKeyNumber() : b.cell->GetKeyNumber();
        auto add = [&](DiffField field, const std::string& valueA, const std::string& valueB) {
            if (valueA != valueB) {
                DiffRow diff = base;
                diff.field = field;
                diff.a = valueA;
                diff.b = valueB;
                m_diff.rows.push_back(std::move(diff));
            }
        };
        const KeyCell* keyA = a.master;
        const KeyCell* keyB = b.master;
        add(DiffField::Shape, a.shape, b.shape);
        add(DiffField::Codes, keyA != nullptr ? CodesText(*keyA) : "",
            keyB != nullptr ? CodesText(*keyB) : "");
        // Where one side's key covers the other's own, the shape and what the place sends say it.
        if (a.IsKeyHere() && b.IsKeyHere()) {
            add(DiffField::Mode, NumberWithName(keyA->GetMode(), keyA->GetModeName(keyA->GetMode())),
                NumberWithName(keyB->GetMode(), keyB->GetModeName(keyB->GetMode())));
            add(DiffField::KeyType,
                NumberWithName(keyA->GetKeyType(), keyA->GetKeyTypeName(keyA->GetKeyType())),
                NumberWithName(keyB->GetKeyType(), keyB->GetKeyTypeName(keyB->GetKeyType())));
            if (!m_settings.bFromKeyboard || (KeepsSimpleFlag(*keyA) && KeepsSimpleFlag(*keyB))) {
                add(DiffField::SimpleKey, std::to_string(keyA->GetSimpleKey()),
                    std::to_string(keyB->GetSimpleKey()));
            }
            if (!m_settings.ignoreNames && !m_settings.bFromKeyboard) {
                add(DiffField::Name, keyA->GetName(), keyB->GetName());
            }
        }
        if (m_diff.rows.size() == before) {
            return;
        }
        KeyDiffState state = KeyDiffState::Changed;
        if (a.IsProgrammed() != b.IsProgrammed()) {
            state = a.IsProgrammed() ? KeyDiffState::OnlyA : KeyDiffState::OnlyB;
        }
        m_diff.keyStates[{layout, column, row}] = state;
    }

    Keyboard& m_a;
    Keyboard& m_b;
    const DiffSettings& m_settings;
    ProjectDiff& m_diff;
};

} // namespace

const char* GetDiffFieldName(DiffField field)
{
    switch (field) {
    case DiffField::Layout:
        return "layout";
    case DiffField::Codes:
        return "codes";
    case DiffField::Mode:
        return "mode";
    case DiffField::KeyType:
        return "type";
    case DiffField::SimpleKey:
        return "simple";
    case DiffField::Shape:
        return "shape";
    case DiffField::Name:
        return "name";
    case DiffField::Option:
        break;
    }
    return "option";
}

KeyDiffState ProjectDiff::GetKeyState(uint8_t layout, uint16_t column, uint16_t row) const
{
    const auto found = keyStates.find({layout, column, row});
    return found != keyStates.end() ? found->second : KeyDiffState::Same;
}

ProjectDiff CompareProjects(Keyboard& a, Keyboard& b, const DiffSettings& settings)
{
    ProjectDiff diff;
    if (GetFamilyName(a) != GetFamilyName(b)) {
        return diff;
    }
    diff.comparable = true;
    diff.compared = {DiffField::Codes, DiffField::Mode, DiffField::KeyType, DiffField::SimpleKey,
                     DiffField::Shape};
    if (settings.bFromKeyboard) {
        diff.notes.emplace_back("names: not compared, a keyboard keeps none");
        diff.notes.emplace_back(
            "simple: not compared for layout switch keys, a keyboard keeps none for them");
    } else if (settings.ignoreNames) {
        diff.notes.emplace_back("names: not compared, as asked");
    } else {
        diff.compared.push_back(DiffField::Name);
    }
    Comparison comparison(a, b, settings, diff);
    comparison.CompareLayouts();
    comparison.CompareOptions();
    return diff;
}
