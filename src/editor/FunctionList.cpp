#include "editor/FunctionList.h"

#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"

#include <algorithm>

namespace {

} // namespace

void FunctionList::Empty()
{
    m_entries.clear();
}

void FunctionList::ForgetKeys()
{
    for (FunctionEntry& entry : m_entries) {
        entry.keyNumber = 0;
    }
}

void FunctionList::RemoveKeyEntries()
{
    std::erase_if(m_entries, [](const FunctionEntry& entry) { return entry.keyNumber != 0; });
}

uint16_t FunctionList::FindByKeyNumber(uint16_t keyNumber, uint16_t start) const
{
    for (uint16_t index = std::max<uint16_t>(start, 1); index <= GetCount(); ++index) {
        if (m_entries[index - 1].keyNumber == keyNumber) {
            return index;
        }
    }
    return 0;
}

uint16_t FunctionList::FindByCodesText(const std::string& codesText, uint16_t start) const
{
    for (uint16_t index = std::max<uint16_t>(start, 1); index <= GetCount(); ++index) {
        if (m_entries[index - 1].codesText == codesText) {
            return index;
        }
    }
    return 0;
}

bool FunctionList::AddOrUpdate(const KeyCell& cell)
{
    const uint16_t keyNumber = cell.GetMaster()->GetKeyNumber();
    if (cell.IsLayoutSwitch() || !cell.IsProgrammed() || keyNumber == 0) {
        return false;
    }
    const std::string name = cell.GetName();
    const std::string codesText = cell.FormatCodesText(0);

    if (const uint16_t own = FindByKeyNumber(keyNumber)) {
        m_entries[own - 1].name = name;
        m_entries[own - 1].codesText = codesText;
        std::erase_if(m_entries, [&](const FunctionEntry& entry) {
            return entry.keyNumber == 0 && entry.codesText == codesText;
        });
        return true;
    }
    // Any free entry with these codes, not only the first entry with them: after ForgetKeys
    // several keys may share codes, and each should take back its own entry.
    for (FunctionEntry& entry : m_entries) {
        if (entry.keyNumber == 0 && entry.codesText == codesText) {
            entry.keyNumber = keyNumber;
            entry.name = name;
            return true;
        }
    }
    if (m_entries.size() >= kCapacity) {
        const uint16_t free = FindByKeyNumber(0);
        // A full list of keys leaves the new key out rather than grow: the largest keyboard has
        // 224 keys, so only a list that outlived several projects can get here.
        if (free == 0) {
            return false;
        }
        m_entries.erase(m_entries.begin() + (free - 1));
    }
    m_entries.push_back(FunctionEntry{keyNumber, name, codesText});
    return true;
}

bool FunctionList::Remove(const KeyCell& cell)
{
    if (cell.IsLayoutSwitch()) {
        return true;
    }
    const uint16_t keyNumber = cell.GetMaster()->GetKeyNumber();
    const uint16_t index = keyNumber == 0 ? 0 : FindByKeyNumber(keyNumber);
    if (index == 0) {
        return false;
    }
    const std::string kept = m_entries[index - 1].codesText;
    ReleaseEntry(index);
    return kept == cell.FormatCodesText(0);
}

bool FunctionList::Renumber(uint16_t from, uint16_t to)
{
    if (from == 0 || to == 0 || FindByKeyNumber(from) == 0) {
        return false;
    }
    if (from == to) {
        return true;
    }
    // An entry still naming the new master describes programming that key no longer holds.
    if (const uint16_t stale = FindByKeyNumber(to)) {
        ReleaseEntry(stale);
    }
    m_entries[FindByKeyNumber(from) - 1].keyNumber = to;
    return true;
}

bool FunctionList::ApplyEntry(uint16_t index, KeyCell& cell) const
{
    const FunctionEntry* entry = GetEntry(index);
    return entry != nullptr && ApplyEntry(*entry, cell);
}

bool FunctionList::ApplyEntry(const FunctionEntry& entry, KeyCell& cell)
{
    const bool named = cell.SetName(entry.name);
    const bool parsed = cell.ParseCodesText(entry.codesText);
    return named && parsed;
}

void FunctionList::Sort()
{
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const FunctionEntry& a, const FunctionEntry& b) {
        if (LessIgnoringCase(a.name, b.name)) {
            return true;
        }
        if (LessIgnoringCase(b.name, a.name)) {
            return false;
        }
        return a.keyNumber < b.keyNumber;
    });
}

std::string FunctionList::GetLabel(uint16_t index) const
{
    const FunctionEntry* entry = GetEntry(index);
    if (entry == nullptr) {
        return std::string();
    }
    std::string label = entry->name;
    if (entry->keyNumber == 0) {
        return label;
    }
    const auto twin = [&](const FunctionEntry* other) {
        return other != nullptr && other->keyNumber != 0 && EqualsIgnoringCase(other->name, entry->name);
    };
    if (twin(GetEntry(index - 1)) || twin(GetEntry(index + 1))) {
        label += " (" + std::to_string(entry->keyNumber) + ")";
    }
    return label + " *";
}

const FunctionEntry* FunctionList::GetEntry(uint16_t index) const
{
    return index >= 1 && index <= GetCount() ? &m_entries[index - 1] : nullptr;
}

bool FunctionList::FillFromAllKeys(Keyboard& keyboard)
{
    uint16_t columns = 0;
    uint16_t rows = 0;
    if (!keyboard.GetGridSize(&columns, &rows)) {
        return false;
    }
    bool allTaken = true;
    for (uint8_t layout = 1; layout <= keyboard.GetLayoutCount(); ++layout) {
        for (uint16_t row = 1; row <= rows; ++row) {
            for (uint16_t column = 1; column <= columns; ++column) {
                KeyCell* cell = nullptr;
                if (!keyboard.GetCell(column, row, layout, &cell) || cell == nullptr ||
                    !cell->IsProgrammed() || cell->IsLayoutSwitch()) {
                    continue;
                }
                // Only the key's first cell, so a merged key is taken once.
                if ((keyboard.GetShapeFlags(column, row, layout) & (ShapeAbove | ShapeLeft)) != 0) {
                    continue;
                }
                allTaken = AddOrUpdate(*cell->GetMaster()) && allTaken;
            }
        }
    }
    return allTaken;
}

std::vector<std::string> FunctionList::Rebuild()
{
    Sort();
    std::vector<std::string> lines;
    lines.reserve(m_entries.size());
    for (uint16_t index = 1; index <= GetCount(); ++index) {
        std::string label = GetLabel(index);
        if (label.empty()) {
            label = LoadText(IDS_TITLE_ERROR) + " " + std::to_string(index);
        }
        lines.push_back(label);
    }
    return lines;
}

void FunctionList::ReleaseEntry(uint16_t index)
{
    FunctionEntry& entry = m_entries[index - 1];
    entry.keyNumber = 0;
    if (AnotherKeyHolds(entry.codesText, index)) {
        m_entries.erase(m_entries.begin() + (index - 1));
    }
}

bool FunctionList::AnotherKeyHolds(const std::string& codesText, uint16_t except) const
{
    for (uint16_t index = 1; index <= GetCount(); ++index) {
        const FunctionEntry& entry = m_entries[index - 1];
        if (index != except && entry.keyNumber != 0 && entry.codesText == codesText) {
            return true;
        }
    }
    return false;
}
