// USB codes texts: the first byte picks the layout limit and the capacity, the rest is the text.
#include "model/UsbKeyCell.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const uint8_t limit = data[0] & 7;
    const uint8_t capacity = static_cast<uint8_t>(1 + ((data[0] >> 3) & 15));
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    UsbKeyCell cell(1, 1, 1, 1, capacity);
    cell.SetLayoutLimit(limit);
    const bool parsed = cell.ParseCodesText(text);
    for (int index = 0; index <= cell.GetCodeCount() + 1; ++index) {
        cell.GetCodeDisplayText(index);
    }
    cell.GetKeyTypeName(cell.GetKeyType());
    cell.GetImageIndex();
    const std::string full = cell.FormatCodesText(1);

    UsbKeyCell copy(1, 1, 1, 1, capacity);
    copy.SetLayoutLimit(limit);
    const bool reparsed = copy.ParseCodesText(full);
    if (copy.FormatCodesText(1) != full || (parsed && !full.empty() && !reparsed)) {
        abort();
    }
    uint8_t record[16] = {};
    uint8_t flags = 0;
    cell.SaveToBytes(record, capacity, &flags);
    cell.SetKeyType(static_cast<uint8_t>(data[0] % 12));
    cell.FormatCodesText(0);
    return 0;
}
