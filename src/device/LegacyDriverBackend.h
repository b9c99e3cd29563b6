// The platform side of the ZQ-1100 driver device: a version query and a one-byte write.
#pragma once

#include <cstdint>

// Every call sets the last error as HidBackend does.
class LegacyDriverBackend
{
public:
    virtual ~LegacyDriverBackend() = default;

    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // False unless the driver answered exactly one byte.
    virtual bool QueryVersion(uint8_t& version) = 0;
    virtual bool WriteByte(uint8_t value) = 0;
    virtual uint32_t GetLastError() const = 0;
};
