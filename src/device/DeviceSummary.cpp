#include "device/DeviceSummary.h"

#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t GetSummaryTextId(DeviceOperation operation)
{
    switch (operation) {
    case DeviceOperation::Program:
        return IDS_DONE_PROGRAMMED;
    case DeviceOperation::ProgramAndVerify:
        return IDS_DONE_PROGRAMMED_VERIFIED;
    case DeviceOperation::Download:
        return IDS_DONE_DOWNLOADED;
    case DeviceOperation::UploadFirmware:
        return IDS_DONE_FIRMWARE;
    case DeviceOperation::ReadFirmwareVersion:
        break;
    }
    return IDS_DONE_VERSION;
}

} // namespace

std::string FormatDeviceSummary(DeviceOperation operation, const std::string& typeName, uint32_t reports,
                                double seconds)
{
    // Tenths of a second, the point whatever the locale: the line is the same in every front end.
    const auto tenths = static_cast<uint64_t>(std::llround(std::max(seconds, 0.0) * 10));
    const std::string time = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    // The time first: a type name holds no "%s" to be taken for it then.
    std::string text =
        ReplaceFirst(ReplaceFirst(LoadText(GetSummaryTextId(operation)), "%s", time), "%n", typeName);
    if (reports != 0) {
        text += LoadTextWithArgument(IDS_DONE_REPORTS, std::to_string(reports));
    }
    return text;
}
