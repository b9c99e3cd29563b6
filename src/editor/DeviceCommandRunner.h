// The four keyboard commands of the editor: whether the project offers them, and running one
// with the message the window shows for its result.
#pragma once

#include "device/ProgressSink.h"

#include <cstdint>
#include <memory>
#include <string>

class EditorPrompts;
class Keyboard;

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
    // On success, what was done, with the keyboard, the time and the reports exchanged.
    std::string summary;
    // Programming only: the user chose not to program after the backup failed.
    bool cancelled = false;
};

// What programming does around the writing itself.
struct ProgrammingChecks
{
    bool verify = false;
    bool backup = false;
    std::string backupFolder;
    // A legacy keyboard cannot be read back: with a check on, this is said once while it is false,
    // and then set.
    bool* legacyNoted = nullptr;
};

// What the progress dialog says the command is doing, with the bar's position and maximum (the
// firmware's blocks are counted in the text).
std::string DescribeProgress(ProgressPhase phase, const std::string& typeName, uint32_t position,
                             uint32_t maximum);

DeviceCommandOutcome RunDeviceOperation(Keyboard& keyboard, DeviceCommandKind kind,
                                        const std::string& firmwarePath, ProgressSink* progress);

// Programming with the checks: a USB keyboard's present programming is saved into the backup folder
// first (when that fails, the prompts ask whether to program anyway; No writes nothing and leaves
// the outcome cancelled without a message; no keyboard at all gives its message without asking),
// then the image is written and, with verify, read back.
DeviceCommandOutcome RunProgramming(Keyboard& keyboard, const ProgrammingChecks& checks,
                                    ProgressSink* progress, EditorPrompts& prompts);

// Reads what the keyboard the project would be written to holds, as reading back does, into a new
// project of the project's type for comparing; read is null unless the outcome is a success.
DeviceCommandOutcome ReadKeyboardForComparison(Keyboard& project, ProgressSink* progress,
                                               std::unique_ptr<Keyboard>& read);
