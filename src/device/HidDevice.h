// One opened HID interface of a keyboard, found by vendor and product id.
#pragma once

#include "device/HidBackend.h"

#include <cstdint>

struct HidCaps
{
    uint16_t featureReportByteLength = 0;
};

class HidDevice
{
public:
    // The backend must outlive the device.
    explicit HidDevice(HidBackend& backend);
    virtual ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Takes the first HID interface in enumeration order with these ids and a feature report that
    // can be opened; one another program holds is passed over.
    virtual bool Open(uint16_t vendorId, uint16_t productId);
    virtual void Close();
    virtual bool GetCaps(HidCaps& caps);
    virtual bool IsOpen() const;
    // After an Open that took nothing: a matching interface was there, held by another program.
    bool IsHeldElsewhere() const { return m_heldElsewhere; }

protected:
    HidBackend& m_backend;
    HidHandle m_handle = kNoHidHandle;
    uint16_t m_featureReportByteLength = 0;
    bool m_heldElsewhere = false;
};
