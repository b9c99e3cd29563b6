// Reads arbitrary bytes as a translation table: no id 0, and no escape left in a text.
#include "MemoryFile.h"

#include "lang/Translations.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::map<uint32_t, std::string> table;
    ReadTranslationTable(WriteMemoryFile(data, size), table);
    for (const auto& [id, text] : table) {
        if (id == 0 || text.find("\\t") != std::string::npos || text.find("\\r") != std::string::npos ||
            text.find("\\n") != std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
