// Finding keys across the layouts by name or by a code they send.
#pragma once

#include "model/GridPoint.h"

#include <cstdint>
#include <string>
#include <vector>

class Keyboard;

struct FoundKey
{
    uint8_t layout = 0;
    GridPoint point = 0; // the key's first cell in reading order

    bool operator==(const FoundKey& other) const { return layout == other.layout && point == other.point; }
};

// Layout by layout, row by row: the keys whose name holds the text (any case), or that send the
// code it names (a key name of the table as "enter" or "F13", or a number as "0x28" or "7:28").
// A key of several cells is found once per layout.
std::vector<FoundKey> FindKeys(Keyboard& keyboard, const std::string& text);

// The index of the match after (or before) the key at `from`, round the end; -1 without matches.
int StepFoundKeys(const std::vector<FoundKey>& found, FoundKey from, bool forward);
