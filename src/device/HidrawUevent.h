// The uevent attribute of a hidraw node's device in sysfs: "KEY=value" lines, of which HID_ID
// (bus:vendor:product in hexadecimal) and HID_NAME are read.
#pragma once

#include <cstdint>
#include <string>

// True when the last HID_ID line holds three hexadecimal fields of 1 to 8 digits whose ids fit
// 16 bits. The name is taken from the last HID_NAME line, when there is one.
bool ParseHidrawUevent(const std::string& uevent, uint16_t& vendorId, uint16_t& productId, std::string& name);
