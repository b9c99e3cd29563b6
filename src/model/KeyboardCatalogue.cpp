#include "model/KeyboardCatalogue.h"

#include "app/Numbers.h"
#include "lang/BuiltinStrings.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/LegacyKeyboard.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <array>

namespace {

// By type id.
constexpr std::array<uint32_t, kKeyboardTypeCount> kTypeNameIds = {
    IDS_TYPE_ZQ3300_DOUBLE_ONE, IDS_TYPE_ZQ3300_DOUBLE_TWO, IDS_TYPE_ZQ3300_SINGLE_TWO,
    IDS_TYPE_ZQ3300_SINGLE_ONE, IDS_TYPE_ZQ2200_THREE,      IDS_TYPE_ZQ2200_TWO,
    IDS_TYPE_ZQ2200_ONE,        IDS_TYPE_ZQ1100_V1_SINGLE,  IDS_TYPE_ZQ1100_V1_DOUBLE,
    IDS_TYPE_ZQ1100_V2_SINGLE,  IDS_TYPE_ZQ1100_V2_DOUBLE,
};

} // namespace

uint8_t GetKeyboardTypeCount()
{
    return static_cast<uint8_t>(kTypeNameIds.size());
}

bool GetKeyboardTypeName(uint8_t id, std::string* name)
{
    if (id >= kTypeNameIds.size() || name == nullptr) {
        return false;
    }
    *name = LoadText(kTypeNameIds[id]);
    return true;
}

bool GetBuiltinKeyboardTypeName(uint8_t id, std::string* name)
{
    return id < kTypeNameIds.size() && name != nullptr && FindBuiltinString(kTypeNameIds[id], *name);
}

uint8_t RecognizeFileType(const std::string& firstLine)
{
    if (EqualsIgnoringCase(firstLine, "ZQ-2200.v1")) {
        return kTypeZq2200Three;
    }
    if (EqualsIgnoringCase(firstLine, "ZQ-3300.v1")) {
        return kTypeZq3300DoubleOne;
    }
    const std::string code = TrimBlanks(firstLine.substr(0, firstLine.find(';')));
    uint16_t value = 0;
    if (ParseU16(code, value, 0xFFFF) != ParseOk) {
        return kNoKeyboardType;
    }
    switch (value) {
    case 0x38:
        return kTypeZq1100V1Single;
    case 0x70:
        return kTypeZq1100V1Double;
    case 0x39:
        return kTypeZq1100V2Single;
    case 0x71:
        return kTypeZq1100V2Double;
    default:
        return kNoKeyboardType;
    }
}

std::string GetOpenFileFilter()
{
    return LoadText(IDS_FILTER_ALL_LAYOUTS) + "|*.zqp;*.txt|" + LoadText(IDS_FILTER_ZQ2200_LAYOUT) +
           "|*.zqp|" + LoadText(IDS_FILTER_ZQ1100_LAYOUT) + "|*.txt|";
}

std::unique_ptr<Keyboard> CreateKeyboard(uint8_t id)
{
    switch (id) {
    case kTypeZq3300DoubleOne:
        return std::make_unique<Zq3300Keyboard>(true, 1);
    case kTypeZq3300DoubleTwo:
        return std::make_unique<Zq3300Keyboard>(true, 2);
    case kTypeZq3300SingleTwo:
        return std::make_unique<Zq3300Keyboard>(false, 2);
    case kTypeZq3300SingleOne:
        return std::make_unique<Zq3300Keyboard>(false, 1);
    case kTypeZq2200Three:
        return std::make_unique<Zq2200Keyboard>(3);
    case kTypeZq2200Two:
        return std::make_unique<Zq2200Keyboard>(2);
    case kTypeZq2200One:
        return std::make_unique<Zq2200Keyboard>(1);
    case kTypeZq1100V1Single:
        return std::make_unique<LegacyKeyboard>(false, false, false);
    case kTypeZq1100V1Double:
        return std::make_unique<LegacyKeyboard>(true, true, false);
    case kTypeZq1100V2Single:
        return std::make_unique<LegacyKeyboard>(false, false, true);
    case kTypeZq1100V2Double:
        return std::make_unique<LegacyKeyboard>(true, true, true);
    default:
        return nullptr;
    }
}

std::unique_ptr<Keyboard> CopyProject(Keyboard& keyboard)
{
    std::string text;
    uint8_t format = 0;
    std::unique_ptr<Keyboard> copy = CreateKeyboard(keyboard.GetTypeId());
    if (copy == nullptr || !keyboard.SaveToMemory(text, &format) || !copy->LoadFromMemory(text, &format)) {
        return nullptr;
    }
    return copy;
}

std::string GetFamilyName(const Keyboard& keyboard)
{
    const auto* usb = dynamic_cast<const UsbKeyboard*>(&keyboard);
    return usb != nullptr ? usb->GetDeviceName() : "ZQ-1100";
}
