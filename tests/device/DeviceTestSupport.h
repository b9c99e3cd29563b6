// What the device tests share: a progress sink that records, and HID reports as the host sends them.
#pragma once

#include "device/ProgressSink.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;
using ProgressCalls = std::vector<std::pair<uint32_t, uint32_t>>;

class RecordingProgress : public ProgressSink
{
public:
    void Progress(uint32_t done, uint32_t total) override { m_calls.emplace_back(done, total); }
    ProgressCalls m_calls;
};

// A data report: id 3, the payload, zeros up to 137 bytes.
inline Bytes DataReport(const Bytes& payload)
{
    Bytes report(137, 0);
    report[0] = 0x03;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return report;
}

inline const Bytes StatusRequest = {0x02, 0, 0, 0, 0, 0, 0, 0};
inline const Bytes DataRequest = DataReport({});
