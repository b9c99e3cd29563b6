// Report lengths of a HID report descriptor, counted the way the Windows HID parser fills HIDP_CAPS.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>

// Each length is the largest report of its kind in bytes with the report id byte, which is counted
// whether or not the descriptor uses report ids; 0 when the descriptor declares no report of the
// kind.
struct HidReportLengths
{
    uint16_t input = 0;
    uint16_t output = 0;
    uint16_t feature = 0;
    bool usesReportIds = false;
    // The report ids (0 without report ids) of the feature reports that carry data.
    std::bitset<256> featureIds;
};

// False for a malformed descriptor (a truncated item, report id 0 or above 255, unbalanced
// collections, a pop without its push or pushes more than 16 deep, a report longer than 65534
// bytes); the lengths are then all 0, so the interface is taken for one without reports, as an
// operating system would refuse it. A push left without its pop is tolerated.
bool ParseHidReportDescriptor(const uint8_t* data, size_t size, HidReportLengths& lengths);
