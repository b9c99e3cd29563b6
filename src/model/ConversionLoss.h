// What converting a project to another keyboard type takes from it: layouts, keys cut to the new
// room for codes, keys cleared and codes. zqtool's forced conversion and the editor's question
// both count it here.
#pragma once

#include <cstdint>
#include <optional>

class Keyboard;

struct ConversionLoss
{
    uint32_t layoutsBefore = 0;
    uint32_t layoutsAfter = 0;
    // Keys whose codes outnumber the room a key of the new type has (capacity).
    uint32_t keysCut = 0;
    uint32_t capacity = 0;
    uint32_t keysCleared = 0;
    uint32_t codesDropped = 0;

    bool IsEmpty() const
    {
        return layoutsAfter >= layoutsBefore && keysCut == 0 && keysCleared == 0 && codesDropped == 0;
    }
};

// The programming of before that after no longer holds.
ConversionLoss CompareForLoss(Keyboard& before, Keyboard& after);
// What conversion item would take from the project, found on a copy; none when the copy cannot be
// made or the item changes nothing.
std::optional<ConversionLoss> PredictConversionLoss(Keyboard& keyboard, uint8_t item);
