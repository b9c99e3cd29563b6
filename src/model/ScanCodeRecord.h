// A cell's codes as the bytes of its device record, one byte each: what "Edit codes" shows and
// writes back for a ZQ-1100 key.
#pragma once

#include <cstdint>
#include <vector>

class KeyCell;

// The cell's capacity of code bytes from the longest record layout it accepts; empty when it
// accepts none.
std::vector<uint8_t> GetScanCodeBytes(const KeyCell& cell);
// Writes the bytes (up to the capacity) into the cell's record and loads it back, keeping the
// record's other fields; a cell of no record layout gets an empty record.
void SetScanCodeBytes(KeyCell& cell, const std::vector<uint8_t>& codes);
