// The one line that tells what a device command did once it succeeded, for zqtool on a terminal
// and for the editor.
#pragma once

#include <cstdint>
#include <string>

enum class DeviceOperation {
    Program,
    ProgramAndVerify,
    Download,
    UploadFirmware,
    ReadFirmwareVersion,
};

// "programmed and verified ZQ-2200 in 1.9 s, 110 reports"; the count is left out when 0.
std::string FormatDeviceSummary(DeviceOperation operation, const std::string& typeName, uint32_t reports,
                                double seconds);
