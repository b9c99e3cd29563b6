// Loads arbitrary bytes as a ZQ-1100 text layout: the first byte picks the type (7 to 10), the
// rest is the file. What was loaded must save, load again and keep its content signature; the
// copy is written and read in memory by the same writer and reader, with no disk to sync.
#include "MemoryFile.h"

#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::unique_ptr<LegacyKeyboard> MakeLegacy(uint8_t id)
{
    return std::unique_ptr<LegacyKeyboard>(static_cast<LegacyKeyboard*>(CreateKeyboard(id).release()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const auto id = static_cast<uint8_t>(7 + (data[0] & 3));

    auto keyboard = MakeLegacy(id);
    uint8_t format = 0;
    const bool clean = keyboard->LoadFile(WriteMemoryFile(data + 1, size - 1), &format);
    // A first error is named by a place inside the file, or its end.
    const uint32_t errorOffset = keyboard->GetLoadErrorOffset();
    if (errorOffset != Keyboard::kNoLoadErrorOffset && (clean || errorOffset > size - 1)) {
        std::abort();
    }
    const std::string signature = keyboard->GetContentSignature();
    std::string saved;
    uint8_t saveFormat = 0;
    if (!keyboard->SaveToMemory(saved, &saveFormat)) {
        std::abort();
    }
    auto reloaded = MakeLegacy(id);
    const bool cleanAgain = reloaded->LoadFromMemory(saved, &format);
    if ((clean && !cleanAgain) || reloaded->GetContentSignature() != signature) {
        std::abort();
    }
    return 0;
}
