#include "model/ScanCodeRecord.h"

#include "model/KeyCell.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

constexpr size_t kRecordSize = 18;
using Record = std::array<uint8_t, kRecordSize>;

// The record lengths a cell may accept, longest first, with where the code bytes start: the
// ZQ-1100 v2 records (16 codes after the flag bytes), v1 (3 or 7 codes) and the bare code list.
constexpr struct
{
    size_t length;
    size_t start;
} kRecordLayouts[] = {{18, 2}, {17, 1}, {16, 0}, {8, 1}, {4, 1}};

// The start of the code bytes in the record the cell wrote, or kRecordSize when it accepts no layout.
size_t ReadRecord(const KeyCell& cell, Record& record, uint8_t& flags)
{
    for (const auto& layout : kRecordLayouts) {
        if (cell.SaveToBytes(record.data(), layout.length, &flags)) {
            return layout.start;
        }
    }
    return kRecordSize;
}

} // namespace

std::vector<uint8_t> GetScanCodeBytes(const KeyCell& cell)
{
    Record record{};
    uint8_t flags = 0;
    const size_t start = ReadRecord(cell, record, flags);
    if (start == kRecordSize) {
        return {};
    }
    const size_t count = std::min<size_t>(cell.GetCapacity(), kRecordSize - start);
    return std::vector<uint8_t>(record.begin() + static_cast<ptrdiff_t>(start),
                                record.begin() + static_cast<ptrdiff_t>(start + count));
}

void SetScanCodeBytes(KeyCell& cell, const std::vector<uint8_t>& codes)
{
    Record record{};
    uint8_t flags = 0;
    const size_t start = ReadRecord(cell, record, flags);
    if (start == kRecordSize) {
        cell.LoadFromBytes(record.data(), 0, flags);
        return;
    }
    const size_t count = cell.GetCapacity();
    for (size_t i = 0; i < count && i < codes.size() && start + i < kRecordSize; ++i) {
        record[start + i] = codes[i];
    }
    cell.LoadFromBytes(record.data(), start + count, flags);
}
