// Recognition of keys inside set-2 byte sequences and the caption of one code.
// Positions are 1-based: codes[0] is position 1.
#pragma once

#include <cstdint>
#include <string>

// start and end are in/out: start 0 searches backwards for the key ending at end. An end beyond
// codeCount is lowered to it; on a match start holds the window's first position, else it is kept.
// Returns the legacy table row, 0 when nothing matches.
int MatchSet2Window(const uint32_t* codes, int codeCount, int& start, int& end);

// Caption of the legacy code at index (a row name, or " [E 153]" style numbers); empty outside
// 1..codeCount.
std::string GetLegacyCaption(const uint32_t* codes, int codeCount, int index);

// Caption of one USB code: the row name, or " [K 0xE8]" style numbers.
std::string GetUsbCaption(uint32_t usage);
