// Text layout files of the ZQ-1100 family, and the members of LegacyKeyboard that use them.
#include "files/LegacyLayoutFile.h"

#include "app/Numbers.h"
#include "io/BufferedFile.h"
#include "io/MemoryFile.h"
#include "keycodes/NumberFormat.h"
#include "lang/TextHelpers.h"
#include "model/LegacyKeyCell.h"
#include "model/LegacyKeyboard.h"

#include <bitset>
#include <string>

namespace {

constexpr uint16_t kKeyCount = LegacyKeyboard::kKeyCount;
constexpr uint16_t kRightSideStart = LegacyKeyboard::kHalfKeyCount;
constexpr uint8_t kQuadShape = ShapeBelow | ShapeRight | ShapeRightBelow;
constexpr uint8_t kSixteenScans = 16;
constexpr const char* kSeparator = "; ";

// Lines may start with the CR or LF of an empty line before them.
constexpr const char* kLineWhite = " \t\r\n";

// Splits off the trimmed text up to the next ";" (all of it when there is none).
std::string TakeField(std::string& rest)
{
    std::string field;
    SplitAt(rest, field, ';');
    return Trim(field, kLineWhite);
}

uint8_t MatchingFormat(uint8_t typeCode)
{
    return (typeCode & 1) != 0 ? LegacyLayoutSixteen : LegacyLayoutSevenThree;
}

// Resolved before the header is written, so that the header matches the key lines.
uint8_t ChooseFormat(const LegacyKeyboard& keyboard, const uint8_t* format)
{
    const uint8_t chosen = format != nullptr ? *format : uint8_t{LegacyLayoutMatching};
    return chosen == LegacyLayoutMatching ? MatchingFormat(keyboard.GetTypeCode()) : chosen;
}

std::string EmptyKeyText(uint16_t number, uint8_t capacity, int form)
{
    return LegacyKeyCell(number, 0, 0, 0, capacity).FormatCodesText(form);
}

bool WriteLayout(LegacyKeyboard& keyboard, BufferedFile& file, uint8_t format)
{
    if (!file.WriteLine(keyboard.FormatHeaderLine(format))) {
        return false;
    }
    const int form = format == LegacyLayoutSevenThree ? LegacyFormSeven : LegacyFormSixteen;
    const uint16_t start = format == LegacyLayoutRightSide ? kRightSideStart : 0;
    AssignLegacyMergeGroups(keyboard, start);
    for (uint16_t k = 1; k <= kKeyCount; ++k) {
        const auto number = static_cast<uint16_t>(start + k);
        KeyCell* cell = nullptr;
        const bool exists = number <= kKeyCount && keyboard.GetCellByIndex(number, &cell);
        const std::string text =
            exists ? cell->FormatCodesText(form) : EmptyKeyText(number, keyboard.GetCellCapacity(), form);
        if (!file.WriteLine(FormatDecimal(number) + kSeparator + text)) {
            return false;
        }
    }
    return true;
}

// The neighbour when it exists, is not part of a key yet and carries the group.
KeyCell* CellOfGroup(LegacyKeyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout, uint32_t group)
{
    KeyCell* cell = nullptr;
    if (!keyboard.GetCell(column, row, layout, &cell) || cell->IsMerged() || cell->GetUserData() != group) {
        return nullptr;
    }
    return cell;
}

// Every line of a merged key carries the whole key's text, so the cells that the key covers
// are emptied as a merge made in the editor finds them.
bool MergeGroup(LegacyKeyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout, KeyCell* cell)
{
    const uint32_t group = cell->GetUserData();
    KeyCell* right = CellOfGroup(keyboard, column + 1, row, layout, group);
    KeyCell* below = CellOfGroup(keyboard, column, row + 1, layout, group);
    KeyCell* diagonal = CellOfGroup(keyboard, column + 1, row + 1, layout, group);
    const uint8_t shape = (right != nullptr ? ShapeRight : 0) | (below != nullptr ? ShapeBelow : 0) |
                          (diagonal != nullptr ? ShapeRightBelow : 0);
    if (shape != ShapeRight && shape != ShapeBelow && shape != kQuadShape) {
        return false;
    }
    for (KeyCell* covered : {right, below, diagonal}) {
        if (covered != nullptr) {
            covered->SetUserData(0);
            covered->Clear(true, true);
        }
    }
    const bool merged = keyboard.MergeSingle(column, row, shape, layout);
    cell->SetUserData(0);
    return merged;
}

// Cells left linked from earlier content would take the lines of their key's other cells.
void UnlinkAllCells(LegacyKeyboard& keyboard)
{
    for (uint16_t number = 1; number <= kKeyCount; ++number) {
        KeyCell* cell = nullptr;
        if (keyboard.GetCellByIndex(number, &cell)) {
            cell->SetMaster(nullptr);
        }
    }
    for (uint16_t number = 1; number <= kKeyCount; ++number) {
        KeyCell* cell = nullptr;
        if (keyboard.GetCellByIndex(number, &cell)) {
            cell->SetUserData(0);
        }
    }
}

// Fields 2 to 9 of the header, the type code already taken off; false when any is in error.
bool ApplyHeaderOptions(LegacyKeyboard& keyboard, std::string rest, bool sixteenScans)
{
    bool clean = true;
    uint8_t value = 0;
    if (ParseU8(TakeField(rest), value, 255) == ParseOk) {
        keyboard.SetKeysType(value != 0 ? 1 : 0);
        clean = clean && value <= 1;
    } else {
        clean = false;
    }
    if (ParseU8(TakeField(rest), value, 255) == ParseOk) {
        keyboard.SetKeyBeep(value != 0);
        clean = clean && value <= 1;
    } else {
        clean = false;
    }
    clean = ParseU8(TakeField(rest), value, 255) == ParseOk && keyboard.SetTypematicDelay(value) && clean;
    clean = ParseU8(TakeField(rest), value, 255) == ParseOk && keyboard.SetTypematicRate(value) && clean;

    if (Trim(rest, kLineWhite).empty()) {
        return clean && !sixteenScans;
    }
    clean = clean && sixteenScans;
    clean = ParseU8(TakeField(rest), value, 255) == ParseOk && keyboard.SetRfidFlags(value) && clean;
    clean = ParseU8(TakeField(rest), value, 255) == ParseOk && keyboard.SetAffixKeyCode(true, value) && clean;
    clean =
        ParseU8(TakeField(rest), value, 255) == ParseOk && keyboard.SetAffixKeyCode(false, value) && clean;
    clean = ParseU8(TakeField(rest), value, 255) == ParseOk && keyboard.SetKeyPause(value) && clean;
    return clean;
}

// Reads key lines until every key of the keyboard was accepted; false when a line was refused or
// the lines ran out first. A key given again still takes the line but counts once and is an
// error: counting it twice would hide a key the file never gave. errorOffset: where the first refused line's
// text starts, or the file's end.
bool ReadKeyLines(LegacyKeyboard& keyboard, BufferedFile& file, uint16_t expected, char formLetter,
                  uint32_t& errorOffset)
{
    bool clean = true;
    uint16_t accepted = 0;
    std::bitset<kKeyCount + 1> seen;
    std::string line;
    while (accepted < expected) {
        const uint32_t lineStart = file.Tell();
        if (!file.ReadLine(line)) {
            if (clean) {
                errorOffset = file.Tell();
            }
            return false;
        }
        std::string rest = TrimLeading(line, kLineWhite);
        const auto textStart = static_cast<uint32_t>(lineStart + (line.size() - rest.size()));
        // An empty line reaches us as white space with some line ends and not at all with
        // others; either way it holds no key.
        if (rest.empty()) {
            continue;
        }
        uint8_t number = 0;
        KeyCell* cell = nullptr;
        if (ParseU8(TakeField(rest), number, kKeyCount) == ParseOk && number != 0 &&
            keyboard.GetCellByIndex(number, &cell) && cell->ParseCodesText(formLetter + rest) &&
            !seen[number]) {
            seen[number] = true;
            ++accepted;
            continue;
        }
        if (clean) {
            errorOffset = textStart;
        }
        clean = false;
    }
    return clean;
}

} // namespace

uint8_t MatchingLegacyLayoutFormat(uint8_t typeCode)
{
    return MatchingFormat(typeCode);
}

bool SaveLegacyLayoutFile(LegacyKeyboard& keyboard, const std::string& path, uint8_t* format,
                          const BufferedFileFactory& makeFile)
{
    const uint8_t chosen = ChooseFormat(keyboard, format);
    const bool saved = SaveFileSafely(
        path, BufferedFile::LineEndCrLf,
        [&](BufferedFile& file) { return WriteLayout(keyboard, file, chosen); }, makeFile);
    if (saved && format != nullptr) {
        *format = chosen;
    }
    return saved;
}

void AssignLegacyMergeGroups(LegacyKeyboard& keyboard, uint16_t firstNumber)
{
    for (uint16_t number = 1; number <= kKeyCount; ++number) {
        KeyCell* cell = nullptr;
        if (keyboard.GetCellByIndex(number, &cell)) {
            cell->SetUserData(0);
        }
    }
    uint32_t group = 1;
    for (uint16_t k = 1; k <= kKeyCount; ++k) {
        const auto number = static_cast<uint16_t>(firstNumber + k);
        KeyCell* cell = nullptr;
        if (number > kKeyCount || !keyboard.GetCellByIndex(number, &cell)) {
            continue;
        }
        uint16_t column = 0;
        uint16_t row = 0;
        uint8_t layout = 0;
        cell->GetPosition(&column, &row, &layout);
        const uint8_t shape = keyboard.GetShapeFlags(column, row, layout);
        // Only the top left cell of a key sees its key continue right or down.
        if ((shape & kQuadShape) == 0 || cell->GetUserData() != 0) {
            continue;
        }
        // Cells of a merged key answer through their master, so every cell takes the group.
        cell->SetUserData(group++);
    }
}

bool RebuildLegacyMergedKeys(LegacyKeyboard& keyboard)
{
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard.GetGridSize(&columns, &rows);
    bool clean = true;
    for (uint8_t layout = 1; layout <= keyboard.GetLayoutCount(); ++layout) {
        for (uint16_t column = 1; column <= columns; ++column) {
            for (uint16_t row = 1; row <= rows; ++row) {
                KeyCell* cell = nullptr;
                if (!keyboard.GetCell(column, row, layout, &cell) || cell->IsMerged() ||
                    cell->GetUserData() == 0) {
                    continue;
                }
                clean = MergeGroup(keyboard, column, row, layout, cell) && clean;
            }
        }
    }
    return clean;
}

bool LegacyKeyboard::SaveFile(const std::string& path, uint8_t* format)
{
    return SaveLegacyLayoutFile(*this, path, format, {});
}

bool LegacyKeyboard::SaveToMemory(std::string& text, uint8_t* format)
{
    const uint8_t chosen = ChooseFormat(*this, format);
    const bool saved = WriteToMemory(text, BufferedFile::LineEndCrLf,
                                     [&](BufferedFile& file) { return WriteLayout(*this, file, chosen); });
    if (saved && format != nullptr) {
        *format = chosen;
    }
    return saved;
}

bool LegacyKeyboard::LoadFile(const std::string& path, uint8_t* format)
{
    BufferedFile file;
    m_loadErrorOffset = kNoLoadErrorOffset;
    if (!file.Open(path, true, BufferedFile::LineEndCrLf) || file.LastError() != 0) {
        return false;
    }
    return ReadLayout(file, format);
}

bool LegacyKeyboard::LoadFromMemory(const std::string& text, uint8_t* format)
{
    MemoryFile file(text, BufferedFile::LineEndCrLf);
    return ReadLayout(file, format);
}

bool LegacyKeyboard::ReadLayout(BufferedFile& file, uint8_t* format)
{
    m_loadErrorOffset = kNoLoadErrorOffset;
    std::string header;
    if (!file.ReadLine(header)) {
        return false;
    }
    std::string rest = header;
    uint16_t typeCode = 0;
    if (ParseU16(TakeField(rest), typeCode, 0xFFFF) != ParseOk || typeCode != GetTypeCode()) {
        NoteLoadError(0);
        return false;
    }
    const uint8_t matching = MatchingFormat(static_cast<uint8_t>(typeCode));
    if (format != nullptr) {
        *format = matching;
    }
    const bool sixteenScans = matching == LegacyLayoutSixteen;
    bool clean = ApplyHeaderOptions(*this, rest, sixteenScans);
    if (!clean) {
        NoteLoadError(0);
    }

    UnlinkAllCells(*this);
    const auto expected = static_cast<uint16_t>(typeCode & ~1u);
    uint32_t errorOffset = kNoLoadErrorOffset;
    clean = ReadKeyLines(*this, file, expected, sixteenScans ? 'N' : 'O', errorOffset) && clean;
    if (errorOffset != kNoLoadErrorOffset) {
        NoteLoadError(errorOffset);
    }
    file.Close();
    clean = RebuildLegacyMergedKeys(*this) && clean;
    return clean;
}

std::string LegacyKeyboard::GetContentSignature()
{
    AssignLegacyMergeGroups(*this, 0);
    const uint8_t format = m_cellCapacity == kSixteenScans ? LegacyLayoutSixteen : LegacyLayoutSevenThree;
    std::string text = FormatHeaderLine(format) + "\r\n";
    for (uint16_t number = 1; number <= kKeyCount; ++number) {
        const LegacyKeyCell* cell = m_cells[number - 1].get();
        if (cell == nullptr) {
            continue;
        }
        // The group and the name tell merged keys and renamed keys apart.
        text += FormatDecimal(number - 1) + kSeparator + cell->FormatCodesText(LegacyFormFree) + ";" +
                FormatUnsigned(cell->GetUserData()) + ";" + cell->GetName() + "\r\n";
    }
    return text;
}

std::string LegacyKeyboard::FormatHeaderLine(uint8_t format) const
{
    std::string text = FormatDecimal(GetTypeCode()) + kSeparator + (GetKeysType() != 0 ? "1" : "0") +
                       kSeparator + (GetKeyBeep() ? "1" : "0") + kSeparator +
                       FormatDecimal(GetTypematicDelay()) + kSeparator + FormatDecimal(GetTypematicRate());
    if (format != LegacyLayoutSevenThree) {
        text += kSeparator + FormatDecimal(GetRfidFlags()) + kSeparator + FormatDecimal(m_prefixCode) +
                kSeparator + FormatDecimal(m_suffixCode) + kSeparator + FormatDecimal(GetKeyPause());
    }
    return text;
}
