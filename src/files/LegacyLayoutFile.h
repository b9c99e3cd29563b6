// Text layout files of the ZQ-1100 family (.txt): a header line with the type code and the
// keyboard-wide options, then one line per key number with the key's codes line.
#pragma once

#include "io/SafeSave.h"

#include <cstdint>
#include <string>

class LegacyKeyboard;

// The format index is the position in the save dialog's filter list.
enum LegacyLayoutFormat : uint8_t {
    LegacyLayoutMatching = 0, // 1 for a 16-scan keyboard, 2 otherwise
    LegacyLayoutSixteen = 1,
    LegacyLayoutSevenThree = 2,
    LegacyLayoutLeftSide = 3,
    LegacyLayoutRightSide = 4,
};

// The member SaveFile with a file factory, so that tests can make writes fail. format may be
// null (the matching format); format 0 is replaced by the matching format on success.
// The format a project of the type code is saved in when none is chosen.
uint8_t MatchingLegacyLayoutFormat(uint8_t typeCode);

bool SaveLegacyLayoutFile(LegacyKeyboard& keyboard, const std::string& path, uint8_t* format,
                          const BufferedFileFactory& makeFile);

// Gives every merged key with a key number from firstNumber + 1 to 112 its own group number,
// counting from 1 in key number order, and every other key 0.
void AssignLegacyMergeGroups(LegacyKeyboard& keyboard, uint16_t firstNumber);

// Merges again the keys whose cells share a group number; false when a group does not form a
// double or a 2 x 2 key.
bool RebuildLegacyMergedKeys(LegacyKeyboard& keyboard);
