// Firmware upload from a .enc file and the firmware version query of the USB keyboards.
#pragma once

#include "device/HidAccess.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ProgressSink;
class UsbKeyboard;

namespace UsbFirmware {
// One block is one data-report payload, written in the file as hexadecimal digit pairs.
constexpr size_t kBlockLength = 136;
constexpr uint32_t kBlockTextLength = 2 * kBlockLength;
// Far above any keyboard's firmware; the whole file is checked in memory before anything is sent.
constexpr uint64_t kMaxFileSize = 16u << 20;
} // namespace UsbFirmware

// Reads and checks a whole firmware file: one run of hexadecimal digit pairs in whole blocks, line
// ends allowed only after the last block. Answers 0 with the decoded blocks, 3 when the file
// cannot be read, or 4 with why in the user's words.
int ReadUsbFirmwareFile(const std::string& path, std::vector<uint8_t>& blocks, std::string& why);

// The open dialog's filter ("text|*.enc||") and default extension.
std::string GetUsbFirmwareFileFilter(std::string* filter, std::string* defaultExtension);
int UploadUsbFirmware(UsbKeyboard& keyboard, const std::string& path, ProgressSink* progress,
                      const HidAccess& access = {});
// The text is "<device name> v a.b.c" from header bytes 1 to 3, with zeros after a failure.
int GetUsbFirmwareVersion(UsbKeyboard& keyboard, ProgressSink* progress, std::string* text,
                          const HidAccess& access = {});
