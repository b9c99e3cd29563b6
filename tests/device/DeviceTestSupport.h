// What the device tests share: a progress sink that records, and HID reports as the host sends them.
#pragma once

#include "device/HostReports.h"
#include "device/ProgressSink.h"

#include <cstdint>
#include <utility>
#include <vector>

using ProgressCalls = std::vector<std::pair<uint32_t, uint32_t>>;

class RecordingProgress : public ProgressSink
{
public:
    void Progress(uint32_t done, uint32_t total) override { m_calls.emplace_back(done, total); }
    ProgressCalls m_calls;
};
