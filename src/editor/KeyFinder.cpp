#include "editor/KeyFinder.h"

#include "editor/KeyCodePalette.h"
#include "lang/TextHelpers.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

std::string Folded(const std::string& text)
{
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(), ToLowerAscii);
    return folded;
}

bool SendsCodes(const KeyCell& cell, const std::vector<uint32_t>& codes)
{
    const int count = cell.GetCodeCount();
    const int length = static_cast<int>(codes.size());
    for (int start = 1; start + length - 1 <= count; ++start) {
        int same = 0;
        while (same < length && cell.GetCode(start + same) == codes[same]) {
            ++same;
        }
        if (same == length) {
            return true;
        }
    }
    return false;
}

bool KeyMatches(const KeyCell& cell, const std::string& folded, const std::vector<const KeyCodeEntry*>& codes)
{
    if (Folded(cell.GetName()).find(folded) != std::string::npos) {
        return true;
    }
    return std::any_of(codes.begin(), codes.end(),
                       [&cell](const KeyCodeEntry* entry) { return SendsCodes(cell, entry->codes); });
}

// Reading order: layout, then row, then column.
std::pair<uint8_t, uint32_t> OrderOf(const FoundKey& key)
{
    return {key.layout, (static_cast<uint32_t>(GridRow(key.point)) << 16) | GridColumn(key.point)};
}

} // namespace

std::vector<FoundKey> FindKeys(Keyboard& keyboard, const std::string& text)
{
    std::vector<FoundKey> found;
    const std::string folded = Folded(TrimBlanks(text));
    uint16_t columns = 0;
    uint16_t rows = 0;
    KeyCell* first = nullptr;
    if (folded.empty() || !keyboard.GetGridSize(&columns, &rows) || !keyboard.GetCellByIndex(1, &first)) {
        return found;
    }
    const KeyCodeFamily family = GetCellFamily(*first);
    std::vector<const KeyCodeEntry*> codes;
    for (const KeyCodeEntry& entry : GetKeyCodeCatalogue(family)) {
        if (IsKeyCodeNamed(entry, family, text)) {
            codes.push_back(&entry);
        }
    }
    for (uint8_t layout = 1; layout <= keyboard.GetLayoutCount(); ++layout) {
        std::set<const KeyCell*> seen;
        for (uint16_t row = 1; row <= rows; ++row) {
            for (uint16_t column = 1; column <= columns; ++column) {
                KeyCell* cell = nullptr;
                if (!keyboard.GetCell(column, row, layout, &cell) || cell->GetKeyNumber() == 0 ||
                    !seen.insert(cell->GetMaster()).second) {
                    continue;
                }
                if (KeyMatches(*cell, folded, codes)) {
                    found.push_back(FoundKey{layout, MakeGridPoint(column, row)});
                }
            }
        }
    }
    return found;
}

int StepFoundKeys(const std::vector<FoundKey>& found, FoundKey from, bool forward)
{
    if (found.empty()) {
        return -1;
    }
    const int count = static_cast<int>(found.size());
    const auto here = OrderOf(from);
    if (forward) {
        for (int i = 0; i < count; ++i) {
            if (OrderOf(found[i]) > here) {
                return i;
            }
        }
        return 0;
    }
    for (int i = count - 1; i >= 0; --i) {
        if (OrderOf(found[i]) < here) {
            return i;
        }
    }
    return count - 1;
}
