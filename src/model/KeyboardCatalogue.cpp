#include "model/KeyboardCatalogue.h"

#include "app/Numbers.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/LegacyKeyboard.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 11> kTypeNameIds = {
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

uint8_t RecognizeFileType(const std::string& firstLine)
{
    if (EqualsIgnoringCase(firstLine, "ZQ-2200.v1")) {
        return 4;
    }
    if (EqualsIgnoringCase(firstLine, "ZQ-3300.v1")) {
        return 0;
    }
    const std::string code = TrimBlanks(firstLine.substr(0, firstLine.find(';')));
    uint16_t value = 0;
    if (ParseU16(code, value, 0xFFFF) != ParseOk) {
        return kNoKeyboardType;
    }
    switch (value) {
    case 0x38:
        return 7;
    case 0x70:
        return 8;
    case 0x39:
        return 9;
    case 0x71:
        return 10;
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
    case 0:
        return std::make_unique<Zq3300Keyboard>(true, 1);
    case 1:
        return std::make_unique<Zq3300Keyboard>(true, 2);
    case 2:
        return std::make_unique<Zq3300Keyboard>(false, 2);
    case 3:
        return std::make_unique<Zq3300Keyboard>(false, 1);
    case 4:
        return std::make_unique<Zq2200Keyboard>(3);
    case 5:
        return std::make_unique<Zq2200Keyboard>(2);
    case 6:
        return std::make_unique<Zq2200Keyboard>(1);
    case 7:
        return std::make_unique<LegacyKeyboard>(false, false, false);
    case 8:
        return std::make_unique<LegacyKeyboard>(true, true, false);
    case 9:
        return std::make_unique<LegacyKeyboard>(false, false, true);
    case 10:
        return std::make_unique<LegacyKeyboard>(true, true, true);
    default:
        return nullptr;
    }
}
