// RFID prefix and suffix texts.
#include "model/AffixKeyCell.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    AffixKeyCell cell;
    const bool parsed = cell.ParseCodesText(text);
    cell.GetCodeDisplayText(1);
    cell.GetCodeDisplayText(2);
    const std::string formatted = cell.FormatCodesText(1);
    if (!parsed && formatted != "0x0000") {
        abort();
    }
    AffixKeyCell copy;
    if (!copy.ParseCodesText(formatted) || copy.FormatCodesText(0) != formatted) {
        abort();
    }
    return 0;
}
