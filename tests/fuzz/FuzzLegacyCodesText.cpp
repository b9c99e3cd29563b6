// Legacy codes lines: the first byte picks the cell's capacity, the rest is the line.
#include "model/LegacyKeyCell.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const uint8_t capacities[] = {3, 7, 16, 1};
    const uint8_t capacity = capacities[data[0] & 3];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    LegacyKeyCell cell(1, 1, 1, 1, capacity);
    cell.ParseCodesText(text);
    for (int index = 0; index <= cell.GetCodeCount() + 1; ++index) {
        cell.GetCodeDisplayText(index);
    }
    const std::string free = cell.FormatCodesText(0);
    cell.FormatCodesText(1);
    cell.FormatCodesText(2);

    // What the cell writes it reads back the same.
    LegacyKeyCell copy(1, 1, 1, 1, capacity);
    copy.ParseCodesText(free);
    if (copy.FormatCodesText(0) != free) {
        abort();
    }
    int start = 0;
    int end = cell.GetCodeCount();
    cell.MatchSet2Window(start, end);
    cell.CountPrefixBytes(cell.GetCodeCount() + 1);
    while (cell.GetCodeCount() > 0) {
        const int before = cell.GetCodeCount();
        if (!cell.DeleteLastKey(0) && cell.GetCodeCount() >= before) {
            abort();
        }
    }
    return 0;
}
