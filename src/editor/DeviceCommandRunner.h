// The four keyboard commands of the editor: whether the project offers them, and running one
// with the message the window shows for its result.
#pragma once

#include <cstdint>
#include <string>

class Keyboard;
class ProgressSink;

enum class DeviceCommandKind : uint8_t { Program = 0, Download = 1, UploadFirmware = 2, FirmwareVersion = 3 };

bool IsDeviceCommandAvailable(const Keyboard& keyboard, DeviceCommandKind kind);

struct DeviceCommandOutcome
{
    int code = 0;
    // The message for a failure: the result's text, a blank line and the keyboard's error text
    // when there is one. Empty on success.
    std::string message;
    // The firmware version text; only a successful version query has one.
    std::string version;
};

DeviceCommandOutcome RunDeviceOperation(Keyboard& keyboard, DeviceCommandKind kind,
                                        const std::string& firmwarePath, ProgressSink* progress);
