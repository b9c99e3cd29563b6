// Loads arbitrary bytes as a language file and looks up a few ids.
#include "lang/LanguageTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchPath()
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/zq-fuzz-lang-" +
           std::to_string(::getpid()) + ".lang";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = ScratchPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        return 0;
    }

    LanguageTable table;
    table.ReadFile(path);
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
    std::remove(path.c_str());
    return 0;
}
