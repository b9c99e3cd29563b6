#include "editor/DeviceCommandRunner.h"

#include "device/DeviceResult.h"
#include "model/Keyboard.h"

bool IsDeviceCommandAvailable(const Keyboard& keyboard, DeviceCommandKind kind)
{
    switch (kind) {
    case DeviceCommandKind::Program:
        return keyboard.CanProgram();
    case DeviceCommandKind::Download:
        return keyboard.CanDownloadSequences();
    case DeviceCommandKind::UploadFirmware:
        return keyboard.CanUploadFirmware();
    case DeviceCommandKind::FirmwareVersion:
        return keyboard.CanShowFirmwareVersion();
    }
    return false;
}

DeviceCommandOutcome RunDeviceOperation(Keyboard& keyboard, DeviceCommandKind kind,
                                        const std::string& firmwarePath, ProgressSink* progress)
{
    DeviceCommandOutcome outcome;
    switch (kind) {
    case DeviceCommandKind::Program:
        outcome.code = keyboard.Program(progress);
        break;
    case DeviceCommandKind::Download:
        outcome.code = keyboard.DownloadSequences(progress);
        break;
    case DeviceCommandKind::UploadFirmware:
        outcome.code = keyboard.UploadFirmware(firmwarePath, progress);
        break;
    case DeviceCommandKind::FirmwareVersion:
        outcome.code = keyboard.GetFirmwareVersion(progress, &outcome.version);
        break;
    }
    outcome.message = FormatDeviceMessage(outcome.code, keyboard.GetErrorText());
    if (!outcome.message.empty()) {
        outcome.version.clear();
    }
    return outcome;
}
