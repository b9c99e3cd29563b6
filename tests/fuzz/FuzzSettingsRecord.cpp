// Loads the settings record from stored values taken from arbitrary bytes: line by line they are
// the values of the record's names in turn, and the names past the last line are absent. What was
// loaded must save and load again unchanged.
#include "app/MemorySettingsStore.h"
#include "app/Settings.h"
#include "device/UsbVendorId.h"
#include "model/KeyboardTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

const char* const kNames[] = {
    "FastEdit",    "DefaultApply",   "EscEndApplication", "ConfirmReplace", "ConfirmDelete",
    "UseLastKeyb", "UseDefaultKeyb", "LastKeybID",        "DefaultKeybID",  kVendorIdSettingName,
};

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool Same(const Settings& a, const Settings& b)
{
    return a.m_fastEdit == b.m_fastEdit && a.m_defaultApply == b.m_defaultApply &&
           a.m_escEndApplication == b.m_escEndApplication && a.m_confirmReplace == b.m_confirmReplace &&
           a.m_confirmDelete == b.m_confirmDelete && a.m_useLastKeyb == b.m_useLastKeyb &&
           a.m_useDefaultKeyb == b.m_useDefaultKeyb && a.m_lastKeybID == b.m_lastKeybID &&
           a.m_defaultKeybID == b.m_defaultKeybID;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    MemorySettingsStore stored;
    size_t start = 0;
    for (const char* name : kNames) {
        if (start > input.size()) {
            break;
        }
        size_t end = input.find('\n', start);
        if (end == std::string::npos) {
            end = input.size();
        }
        Check(stored.WriteValue(kConfigurationSection, name, input.substr(start, end - start)));
        start = end + 1;
    }

    Settings loaded;
    loaded.LoadSettings(stored);
    const std::optional<uint8_t> startType = loaded.ChooseStartKeyboardType(kKeyboardTypeCount);
    Check(!startType || *startType < kKeyboardTypeCount);
    Check(LoadVendorIdSetting(stored) != 0);

    MemorySettingsStore saved;
    Check(loaded.SaveSettings(saved));
    Settings reloaded;
    reloaded.LoadSettings(saved);
    Check(Same(loaded, reloaded));
    return 0;
}
