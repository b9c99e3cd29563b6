// A .zqp file of arbitrary bytes loaded into each USB family. The first byte picks the
// project; when its bit 0x08 is set the family's magic line is put in front, so that the
// fuzzer spends its time on the options and key lines.
#include "MemoryFile.h"

#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

std::unique_ptr<UsbKeyboardCommon> MakeProject(uint8_t choice)
{
    switch (choice % 7) {
    case 0:
        return std::make_unique<Zq2200Keyboard>(3);
    case 1:
        return std::make_unique<Zq2200Keyboard>(1);
    case 2:
        return std::make_unique<Zq3300Keyboard>(true, 1);
    case 3:
        return std::make_unique<Zq3300Keyboard>(true, 2);
    case 4:
        return std::make_unique<Zq3300Keyboard>(false, 1);
    case 5:
        return std::make_unique<Zq3300Keyboard>(false, 2);
    default:
        return std::make_unique<Zq2200Keyboard>(2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    std::unique_ptr<UsbKeyboardCommon> project = MakeProject(data[0] & 0x07);
    std::string bytes;
    if ((data[0] & 0x08) != 0) {
        bytes = project->GetFileMagic() + "\r\n";
    }
    bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
    uint8_t format = 0;
    const bool clean = project->LoadFile(WriteMemoryFile(bytes.data(), bytes.size()), &format);
    // A first error is named by a place inside the file.
    const uint32_t errorOffset = project->GetLoadErrorOffset();
    if ((clean && errorOffset != Keyboard::kNoLoadErrorOffset) ||
        (errorOffset != Keyboard::kNoLoadErrorOffset && errorOffset > bytes.size())) {
        std::abort();
    }
    // Whatever was loaded must still describe itself.
    (void)project->GetContentSignature();
    return 0;
}
