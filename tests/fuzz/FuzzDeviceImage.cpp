// Feeds arbitrary bytes as a device image to every USB variant, then builds the image again.
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

void Exercise(UsbKeyboard& keyboard, const uint8_t* data, size_t size)
{
    std::vector<uint8_t> image(data, data + size);
    keyboard.ParseDeviceImage(image.data(), image.size(), 1);
    std::vector<uint8_t> built(4096);
    size_t length = built.size();
    keyboard.BuildDeviceImage(built.data(), &length, 1);
    keyboard.GetContentSignature();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (uint8_t layouts = 1; layouts <= 3; ++layouts) {
        Zq2200Keyboard keyboard(layouts);
        Exercise(keyboard, data, size);
    }
    for (bool isDouble : {false, true}) {
        for (uint8_t perSide = 1; perSide <= 2; ++perSide) {
            Zq3300Keyboard keyboard(isDouble, perSide);
            Exercise(keyboard, data, size);
            // Conversions after a parse walk the links the image made.
            bool changed = false;
            keyboard.Convert(static_cast<uint8_t>(1 + size % 6), &changed);
            Exercise(keyboard, data, size);
        }
    }
    return 0;
}
