// The USB vendor id both USB keyboard families are found by, and its overrides.
#pragma once

#include "model/UsbKeyboard.h"

#include <cstdint>
#include <string>

class Keyboard;
class SettingsStore;

// Value "VendorID" of section "Configuration".
constexpr const char* kVendorIdSettingName = "VendorID";
// The environment variable that overrides the setting, for a whole site's scripts and sessions.
constexpr const char* kVendorIdVariable = "ZQ_VENDOR_ID";

// Decimal or "0x" hexadecimal, 1 to 0xFFFF; false for anything else (0 would open no device).
bool ParseVendorId(const std::string& text, uint16_t& vendorId);
// variable: the value of ZQ_VENDOR_ID, or null. That value when it is a valid id, else the setting
// when it holds one, else kZqUsbVendorId.
uint16_t LoadVendorIdSetting(const SettingsStore& store, const char* variable);
// The same with ZQ_VENDOR_ID read from the environment.
uint16_t LoadVendorIdSetting(const SettingsStore& store);
// Gives a USB keyboard project the id to look for; other projects are left alone. Front ends call
// it for every project they create or load.
void ApplyVendorId(Keyboard& keyboard, uint16_t vendorId);
