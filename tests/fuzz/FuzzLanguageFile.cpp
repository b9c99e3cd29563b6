// Loads arbitrary bytes as a language file and looks up a few ids.
#include "MemoryFile.h"

#include "lang/LanguageTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LanguageTable table;
    table.ReadFile(WriteMemoryFile(data, size));
    if (table.GetCount() > LanguageTable::kMaxEntries) {
        std::abort();
    }
    const uint32_t ids[] = {1, 101, 33012, 35005, 36379, 0x88BD, 0xFFFFFFFF};
    for (uint32_t id : ids) {
        std::string text;
        if (table.Find(id, text) && text.size() > LanguageTable::kMaxTextLength) {
            std::abort();
        }
    }
    return 0;
}
