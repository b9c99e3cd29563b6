// Loads arbitrary bytes as a ZQ-1100 text layout: the first byte picks the type (7 to 10), the
// rest is the file. What was loaded must save, load again and keep its content signature.
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchPath(const char* name)
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/zq-fuzz-txt-" +
           std::to_string(::getpid()) + "-" + name + ".txt";
}

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
    static const std::string input = ScratchPath("in");
    static const std::string output = ScratchPath("out");
    const auto id = static_cast<uint8_t>(7 + (data[0] & 3));
    std::FILE* file = std::fopen(input.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    const bool written = std::fwrite(data + 1, 1, size - 1, file) == size - 1;
    if (std::fclose(file) != 0 || !written) {
        return 0;
    }

    auto keyboard = MakeLegacy(id);
    uint8_t format = 0;
    const bool clean = keyboard->LoadFile(input, &format);
    const std::string signature = keyboard->GetContentSignature();
    uint8_t saveFormat = 0;
    if (!keyboard->SaveFile(output, &saveFormat)) {
        std::abort();
    }
    auto reloaded = MakeLegacy(id);
    const bool cleanAgain = reloaded->LoadFile(output, &format);
    if ((clean && !cleanAgain) || reloaded->GetContentSignature() != signature) {
        std::abort();
    }
    std::remove(input.c_str());
    std::remove(output.c_str());
    return 0;
}
