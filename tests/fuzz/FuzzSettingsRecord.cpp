// Loads the settings record from stored values taken from arbitrary bytes: line by line they are
// the values of the record's names in turn, and the names past the last line are absent. What was
// loaded must save and load again unchanged.
#include "app/MemorySettingsStore.h"
#include "app/Numbers.h"
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
    "FastEdit",      "DefaultApply",       "EscEndApplication",      "ConfirmReplace",
    "ConfirmDelete", "UseLastKeyb",        "UseDefaultKeyb",         "LastKeybID",
    "DefaultKeybID", kVendorIdSettingName, "VerifyAfterProgramming", "BackupBeforeProgramming",
};

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// A damaged value must never switch a check around programming off.
bool KeepsOn(const MemorySettingsStore& stored, const char* name, bool loaded)
{
    const std::optional<std::string> text = stored.ReadValue(kConfigurationSection, name);
    uint32_t value = 0;
    const bool readable = !text || text->empty() || ParseU32(*text, value, UINT32_MAX) == ParseOk;
    return readable || loaded;
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
    Check(KeepsOn(stored, "VerifyAfterProgramming", loaded.m_verifyAfterProgramming));
    Check(KeepsOn(stored, "BackupBeforeProgramming", loaded.m_backupBeforeProgramming));

    MemorySettingsStore saved;
    Check(loaded.SaveSettings(saved));
    Settings reloaded;
    reloaded.LoadSettings(saved);
    Check(loaded == reloaded);
    return 0;
}
