#include "device/HidReports.h"

#include "device/HidReportDescriptor.h"

CommandReport BuildCommandReport(uint8_t command, uint16_t address, uint8_t count)
{
    CommandReport report{};
    report[kReportIdOffset] = kCommandReportId;
    report[kCommandCodeOffset] = command;
    PutU16(&report[kCommandAddressOffset], address);
    report[kCommandCountOffset] = count;
    return report;
}

CommandReport BuildStatusRequest()
{
    CommandReport report{};
    report[kReportIdOffset] = kCommandReportId;
    return report;
}

bool DeclaresProgrammingReports(const HidReportLengths& lengths)
{
    return lengths.featureIds[kCommandReportId] && lengths.featureIds[kDataReportId];
}

void PutU16(uint8_t* destination, uint16_t value)
{
    destination[0] = static_cast<uint8_t>(value & 0xFF);
    destination[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetU16(const uint8_t* source)
{
    return static_cast<uint16_t>(source[0] | (source[1] << 8));
}
