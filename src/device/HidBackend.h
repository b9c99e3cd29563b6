// The platform side of HID feature-report access: one implementation per HID stack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// 0: never opened; kInvalidHidHandle: a failed open. Backends hand out other values only.
using HidHandle = intptr_t;
constexpr HidHandle kNoHidHandle = 0;
constexpr HidHandle kInvalidHidHandle = -1;

enum class HidInterfaceKind : uint8_t {
    Hid = 0,
    LegacyDriver = 1,
};

struct HidInterfaceInfo
{
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t featureReportByteLength = 0; // 0: the interface has no feature report
    HidInterfaceKind kind = HidInterfaceKind::Hid;
    std::string name;
    // False when its report descriptor was read and lacks the programming reports (HidReports.h);
    // backends that cannot tell leave it true.
    bool programmingReports = true;
    // A code from OsError.h when what the interface is could not be read; the ids are then 0 when
    // they were not read.
    uint32_t readError = 0;
};

// Every call sets the last error: 0 on success, otherwise a code from OsError.h (31, 1167, or an
// unrecorded other code).
class HidBackend
{
public:
    virtual ~HidBackend() = default;

    // The present interfaces in enumeration order; false when the list cannot be made.
    virtual bool Enumerate(std::vector<HidInterfaceInfo>& interfaces) = 0;
    // kInvalidHidHandle on failure.
    virtual HidHandle Open(const std::string& path) = 0;
    virtual void Close(HidHandle handle) = 0;
    // report[0] is the report id; length is the whole report.
    virtual bool SetFeature(HidHandle handle, const uint8_t* report, size_t length) = 0;
    // report[0] holds the report id on entry; on success the answer fills all length bytes.
    virtual bool GetFeature(HidHandle handle, uint8_t* report, size_t length) = 0;
    virtual uint32_t GetLastError() const = 0;
};
