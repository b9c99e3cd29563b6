// Feeds arbitrary bytes as a device image to one USB variant, then builds the image again. The first
// byte chooses the variant and, for a ZQ-3300, the conversion that walks the links the image made.
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr uint8_t kZq2200Variants = 3;             // one to three layouts
constexpr uint8_t kVariants = kZq2200Variants + 4; // ZQ-3300: single or double, one or two per side
constexpr uint8_t kConversionItems = 6;

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
    if (size == 0) {
        return 0;
    }
    // One keyboard per input: building all seven made the target too slow to find anything.
    const uint8_t variant = data[0] % kVariants;
    const auto item = static_cast<uint8_t>(1 + data[0] / kVariants % kConversionItems);
    ++data;
    --size;
    if (variant < kZq2200Variants) {
        Zq2200Keyboard keyboard(static_cast<uint8_t>(variant + 1));
        Exercise(keyboard, data, size);
        return 0;
    }
    const uint8_t zq3300 = variant - kZq2200Variants;
    Zq3300Keyboard keyboard(zq3300 >= 2, static_cast<uint8_t>(1 + zq3300 % 2));
    Exercise(keyboard, data, size);
    bool changed = false;
    keyboard.Convert(item, &changed);
    Exercise(keyboard, data, size);
    return 0;
}
