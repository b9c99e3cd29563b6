#include "device/UsbVendorId.h"

#include "app/Numbers.h"
#include "app/Settings.h"
#include "lang/TextHelpers.h"
#include "model/UsbKeyboard.h"

#include <cstdlib>

bool ParseVendorId(const std::string& text, uint16_t& vendorId)
{
    uint16_t value = 0;
    if (ParseU16(TrimBlanks(text), value, 0xFFFF) != ParseOk || value == 0) {
        return false;
    }
    vendorId = value;
    return true;
}

uint16_t LoadVendorIdSetting(const SettingsStore& store, const char* variable)
{
    uint16_t vendorId = kZqUsbVendorId;
    if (variable != nullptr && ParseVendorId(variable, vendorId)) {
        return vendorId;
    }
    const std::optional<std::string> text = store.ReadValue(kConfigurationSection, kVendorIdSettingName);
    if (text.has_value()) {
        ParseVendorId(*text, vendorId);
    }
    return vendorId;
}

uint16_t LoadVendorIdSetting(const SettingsStore& store)
{
    return LoadVendorIdSetting(store, std::getenv(kVendorIdVariable));
}

void ApplyVendorId(Keyboard& keyboard, uint16_t vendorId)
{
    if (auto* usbKeyboard = dynamic_cast<UsbKeyboard*>(&keyboard)) {
        usbKeyboard->SetVendorId(vendorId);
    }
}
