// The keyboard's error text: one line for each new OS error or keyboard status of a device operation.
#pragma once

#include <cstdint>
#include <string>

// The rules on a keyboard's own fields, for the keyboard classes to forward their ClearDeviceErrors,
// RecordOsError and RecordDeviceStatus to.
void ClearDeviceErrorFields(uint32_t& lastOsError, uint8_t& lastStatus, std::string& errorText);
void RecordOsErrorLine(uint32_t code, uint32_t& lastOsError, std::string& errorText);
void RecordDeviceStatusLine(uint8_t status, uint8_t& lastStatus, std::string& errorText);
// Appends a line of its own, after a line break when the text is not empty.
void AppendErrorLine(std::string& errorText, const std::string& line);

class DeviceErrorText
{
public:
    // At the start of every device operation.
    void ClearDeviceErrors();
    // 31, 32 and 1167 add their line unless they repeat the last recorded code; others are ignored.
    void RecordOsError(uint32_t code);
    // 0 and 1 are recorded silently, 2 to 6 add their line unless repeated, 7 to 255 are ignored.
    void RecordDeviceStatus(uint8_t status);
    const std::string& GetErrorText() const { return m_errorText; }

private:
    uint32_t m_lastOsError = 0;
    uint8_t m_lastStatus = 0;
    std::string m_errorText;
};
