#include "keycodes/KeyCodeText.h"

#include "keycodes/KeyTables.h"
#include "keycodes/NumberFormat.h"

#include <algorithm>

namespace {

constexpr uint32_t kExtendedPrefix = 0xE0;
constexpr uint32_t kPausePrefix = 0xE1;
constexpr uint32_t kBreakPrefix = 0xF0;

bool IsPrefix(uint32_t code)
{
    return code == kExtendedPrefix || code == kPausePrefix;
}

// A longer window may hold break prefixes between the row's bytes; those are skipped unless the window
// ends on one. The row must be used up completely, or a few bytes could pass for a longer key.
bool WindowMatchesRow(const uint32_t* window, int windowLength, const LegacyKeyEntry& entry, int rowLength)
{
    const bool skipBreaks = rowLength < windowLength && window[windowLength - 1] != kBreakPrefix;
    int used = 0;
    for (int i = 0; i < windowLength; ++i) {
        if (skipBreaks && window[i] == kBreakPrefix) {
            continue;
        }
        if (used >= rowLength || window[i] != entry.set2[used]) {
            return false;
        }
        ++used;
    }
    return used == rowLength;
}

// start and end are valid 1-based positions with start <= end.
int TestWindow(const uint32_t* codes, int start, int end)
{
    const uint32_t* window = codes + (start - 1);
    const int windowLength = end - start + 1;
    const bool relaxed = IsPrefix(window[0]);
    // Bytes right after a prefix belong to the prefixed key, not to a key of their own.
    const bool precededByPrefix = start >= 3 && IsPrefix(codes[start - 2]);
    for (int row = 1; row <= kLegacyRowCount; ++row) {
        const int rowLength = LegacyKeyTable::GetSet2Length(row);
        if (rowLength != windowLength && !(rowLength < windowLength && relaxed)) {
            continue;
        }
        if (WindowMatchesRow(window, windowLength, *GetLegacyRow(row), rowLength)) {
            return precededByPrefix ? 0 : row;
        }
    }
    return 0;
}

} // namespace

int MatchSet2Window(const uint32_t* codes, int codeCount, int& start, int& end)
{
    if (start == 0 && end == 0) {
        return 0;
    }
    if (codes == nullptr || codeCount < 1 || start < 0 || start > codeCount || end < start) {
        return 0;
    }
    end = std::min(end, codeCount);
    if (start != 0) {
        return TestWindow(codes, start, end);
    }
    const int longest = LegacyKeyTable::GetSet2Length(0);
    for (int first = std::max(end - longest, 1); first < end; ++first) {
        if (const int row = TestWindow(codes, first, end); row != 0) {
            start = first;
            return row;
        }
    }
    const int row = TestWindow(codes, end, end);
    if (row != 0) {
        start = end;
    }
    return row;
}

std::string GetLegacyCaption(const uint32_t* codes, int codeCount, int index)
{
    if (codes == nullptr || index < 1 || index > codeCount) {
        return std::string();
    }
    int start = 0;
    int end = index;
    if (const int row = MatchSet2Window(codes, codeCount, start, end); row != 0) {
        return LegacyKeyTable::GetRowName(row);
    }
    std::string marker;
    for (int position = index - 1; position >= 1; --position) {
        const uint32_t code = codes[position - 1];
        if (code == kBreakPrefix) {
            continue;
        }
        if (code == kExtendedPrefix) {
            marker = "E ";
        } else if (code == kPausePrefix) {
            marker = "P ";
        }
        break;
    }
    return " [" + marker + FormatDecimal(static_cast<int32_t>(codes[index - 1])) + "]";
}

std::string GetUsbCaption(uint32_t usage)
{
    if (const int row = UsbKeyTable::FindRowByUsage(usage); row != 0) {
        return UsbKeyTable::GetRowName(row);
    }
    const uint32_t page = usage >> 16;
    std::string pageText;
    switch (page) {
    case 1:
        pageText = "S ";
        break;
    case 7:
        pageText = "K ";
        break;
    case 12:
        pageText = "M ";
        break;
    default:
        pageText = FormatHex(page, 1) + ": ";
        break;
    }
    return " [" + pageText + FormatHex(usage & 0xFFFF, 1) + "]";
}
