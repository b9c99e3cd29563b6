// Feature reports as the host sends them, written out byte by byte rather than taken from the
// code under test.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A command report: id 2, the command code, the address (little-endian), the count, zeros.
inline Bytes CommandReportBytes(uint8_t command, uint16_t address, uint8_t count)
{
    return {2, command, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8), count, 0, 0, 0};
}

// A data report: id 3, up to 136 payload bytes, zeros up to 137 bytes.
inline Bytes DataReport(const Bytes& payload)
{
    Bytes report(137, 0);
    report[0] = 0x03;
    std::copy_n(payload.begin(), std::min<size_t>(payload.size(), 136), report.begin() + 1);
    return report;
}

// The buffers the host hands over to read a status or a data report.
inline const Bytes StatusRequest = {0x02, 0, 0, 0, 0, 0, 0, 0};
inline const Bytes DataRequest = DataReport({});
