#include "model/ConversionLoss.h"

#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct ProgrammingSummary
{
    uint32_t layouts = 0;
    uint32_t keys = 0;
    uint32_t codes = 0;
    uint32_t capacity = 0;
    std::vector<uint32_t> codeCounts; // of each key with codes
};

ProgrammingSummary Summarize(Keyboard& keyboard)
{
    ProgrammingSummary summary;
    summary.layouts = keyboard.GetLayoutCount();
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard.GetGridSize(&columns, &rows);
    for (uint32_t layout = 1; layout <= summary.layouts; ++layout) {
        for (uint16_t row = 1; row <= rows; ++row) {
            for (uint16_t column = 1; column <= columns; ++column) {
                KeyCell* cell = nullptr;
                // A key of several cells counts once, at its master.
                if (!keyboard.GetCell(column, row, static_cast<uint8_t>(layout), &cell) || cell == nullptr ||
                    cell->GetMaster() != cell) {
                    continue;
                }
                summary.capacity = std::max<uint32_t>(summary.capacity, cell->GetCapacity());
                if (cell->GetCodeCount() != 0) {
                    ++summary.keys;
                    summary.codes += cell->GetCodeCount();
                    summary.codeCounts.push_back(cell->GetCodeCount());
                }
            }
        }
    }
    return summary;
}

} // namespace

ConversionLoss CompareForLoss(Keyboard& before, Keyboard& after)
{
    const ProgrammingSummary old = Summarize(before);
    const ProgrammingSummary now = Summarize(after);
    ConversionLoss loss;
    loss.layoutsBefore = old.layouts;
    loss.layoutsAfter = now.layouts;
    loss.capacity = now.capacity;
    if (now.capacity != 0) {
        loss.keysCut =
            static_cast<uint32_t>(std::count_if(old.codeCounts.begin(), old.codeCounts.end(),
                                                [&now](uint32_t count) { return count > now.capacity; }));
    }
    loss.keysCleared = old.keys > now.keys ? old.keys - now.keys : 0;
    loss.codesDropped = old.codes > now.codes ? old.codes - now.codes : 0;
    return loss;
}

std::optional<ConversionLoss> PredictConversionLoss(Keyboard& keyboard, uint8_t item)
{
    std::unique_ptr<Keyboard> copy = CopyProject(keyboard);
    if (copy == nullptr) {
        return std::nullopt;
    }
    bool changedInPlace = false;
    std::unique_ptr<Keyboard> converted = copy->Convert(item, &changedInPlace);
    if (converted == nullptr && !changedInPlace) {
        return std::nullopt;
    }
    return CompareForLoss(keyboard, converted != nullptr ? *converted : *copy);
}
