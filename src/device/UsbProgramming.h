// The device operations of the USB keyboards: programming the keyboard with the project's device
// image, reading it back, the memory header, and finding the keyboard. Each answers a DeviceResult.
// The keyboard classes forward their members here; tests pass a HidAccess with a fake keyboard.
#pragma once

#include "device/HidAccess.h"

#include <cstddef>
#include <cstdint>
#include <string>

class HidChannel;
class ProgressSink;
class UsbKeyboard;

namespace UsbMemory {
// The image buffer of programming and reading back.
constexpr size_t kImageBufferSize = 4096;
// Bytes per ConfirmWrite or RequestRead, although a data report could carry 136.
constexpr size_t kChunkSize = 128;
// Header at the start of the programmable area.
constexpr size_t kHeaderLengthOffset = 0;
constexpr size_t kFirmwareVersionOffset = 1; // three bytes: major, minor, revision
constexpr size_t kFirmwareVersionLength = 3;
// A shorter header would put the image over the version bytes.
constexpr size_t kMinHeaderLength = kFirmwareVersionOffset + kFirmwareVersionLength;
constexpr size_t kHeaderReadLength = 128;
} // namespace UsbMemory

// Opens the channel with the keyboard's vendor and product id; false without any I/O when either is 0.
// A keyboard held by another program adds the in-use line to the keyboard's error text.
bool OpenUsbDevice(UsbKeyboard& keyboard, HidChannel& channel);
// True, with the family's device name, when a keyboard with the project's ids is connected.
bool DetectUsbDevice(UsbKeyboard& keyboard, std::string* name, const HidAccess& access = {});

// Reads up to *length (0 to 128) bytes of the memory header into buffer (may be null when *length is
// 0) through the channel, opening it when needed, and leaves it open. *length comes back as the
// header length byte H.
int ReadUsbDeviceHeader(UsbKeyboard& keyboard, HidChannel& channel, uint8_t* length, uint8_t* buffer);
// *length = H.
int ReadUsbDeviceHeaderLength(UsbKeyboard& keyboard, HidChannel& channel, uint8_t* length);
// ReadUsbDeviceHeader as a complete device operation with its own channel; progress only hears
// of a busy keyboard.
int QueryUsbDeviceHeader(UsbKeyboard& keyboard, uint8_t* length, uint8_t* buffer,
                         const HidAccess& access = {}, ProgressSink* progress = nullptr);

int ProgramUsbKeyboard(UsbKeyboard& keyboard, ProgressSink* progress, const HidAccess& access = {});
int DownloadUsbSequences(UsbKeyboard& keyboard, ProgressSink* progress, const HidAccess& access = {});
