// Byte records of every cell kind: the first byte picks the kind, the second the flags byte,
// the rest is the record (of any length, most of them refused).
#include "model/AffixKeyCell.h"
#include "model/LegacyKeyCell.h"
#include "model/UsbKeyCell.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<KeyCell> MakeCell(uint8_t kind)
{
    switch (kind % 6) {
    case 0:
        return std::make_unique<LegacyKeyCell>(1, 1, 1, 1, 3);
    case 1:
        return std::make_unique<LegacyKeyCell>(1, 1, 1, 1, 7);
    case 2:
        return std::make_unique<LegacyKeyCell>(1, 1, 1, 1, 16);
    case 3:
        return std::make_unique<UsbKeyCell>(1, 1, 1, 1, 16);
    case 4:
        return std::make_unique<UsbKeyCell>(1, 1, 1, 1, 1 + (kind >> 4));
    default:
        return std::make_unique<AffixKeyCell>();
    }
}

// Exactly sized, so that the sanitizer sees any write past the record.
std::vector<uint8_t> Save(const KeyCell& cell, size_t length, uint8_t* flags, bool* ok)
{
    std::vector<uint8_t> record(length);
    *ok = cell.SaveToBytes(record.data(), length, flags);
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    const uint8_t kind = data[0];
    const uint8_t flags = data[1];
    const std::vector<uint8_t> record(data + 2, data + size);

    std::unique_ptr<KeyCell> cell = MakeCell(kind);
    const bool loaded = cell->LoadFromBytes(record.data(), record.size(), flags);
    cell->FormatCodesText(1);
    for (int index = 0; index <= cell->GetCodeCount() + 1; ++index) {
        cell->GetCodeDisplayText(index);
    }
    bool saved = false;
    uint8_t savedFlags = 0;
    const std::vector<uint8_t> first = Save(*cell, record.size(), &savedFlags, &saved);
    if (loaded && !saved) {
        abort(); // a cell saves the record length it loads
    }
    if (!loaded) {
        return 0;
    }
    // A saved record loads back and saves the same again.
    std::unique_ptr<KeyCell> other = MakeCell(kind);
    if (!other->LoadFromBytes(first.data(), first.size(), savedFlags)) {
        abort();
    }
    uint8_t againFlags = 0;
    const std::vector<uint8_t> again = Save(*other, first.size(), &againFlags, &saved);
    if (!saved || again != first || againFlags != savedFlags) {
        abort();
    }
    return 0;
}
