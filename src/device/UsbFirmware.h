// Firmware upload from a .enc file and the firmware version query of the USB keyboards.
#pragma once

#include "device/HidAccess.h"

#include <cstddef>
#include <cstdint>
#include <string>

class ProgressSink;
class UsbKeyboard;

namespace UsbFirmware {
// One block is one data-report payload, written in the file as hexadecimal digit pairs.
constexpr size_t kBlockLength = 136;
constexpr uint32_t kBlockTextLength = 2 * kBlockLength;
} // namespace UsbFirmware

// The open dialog's filter ("text|*.enc||") and default extension.
std::string GetUsbFirmwareFileFilter(std::string* filter, std::string* defaultExtension);
int UploadUsbFirmware(UsbKeyboard& keyboard, const std::string& path, ProgressSink* progress,
                      const HidAccess& access = {});
// The text is "<device name> v a.b.c" from header bytes 1 to 3, with zeros after a failure.
int GetUsbFirmwareVersion(UsbKeyboard& keyboard, ProgressSink* progress, std::string* text,
                          const HidAccess& access = {});
