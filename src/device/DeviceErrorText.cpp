#include "device/DeviceErrorText.h"

#include "device/HidReports.h"
#include "device/OsError.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"

namespace {

void AppendLine(std::string& errorText, uint32_t stringId)
{
    AppendErrorLine(errorText, LoadText(stringId));
}

} // namespace

void AppendErrorLine(std::string& errorText, const std::string& line)
{
    if (!errorText.empty()) {
        errorText += "\r\n";
    }
    errorText += line;
}

void ClearDeviceErrorFields(uint32_t& lastOsError, uint8_t& lastStatus, std::string& errorText)
{
    lastOsError = 0;
    lastStatus = 0;
    errorText.clear();
}

void RecordOsErrorLine(uint32_t code, uint32_t& lastOsError, std::string& errorText)
{
    if (code == lastOsError) {
        return;
    }
    if (code == kOsErrorNotFunctioning) {
        AppendLine(errorText, IDS_USB_ERROR_NOT_FUNCTIONING);
    } else if (code == kOsErrorNotConnected) {
        AppendLine(errorText, IDS_USB_ERROR_NOT_CONNECTED);
    } else if (code == kOsErrorInUse) {
        AppendLine(errorText, IDS_USB_ERROR_IN_USE);
    } else {
        return;
    }
    lastOsError = code;
}

void RecordDeviceStatusLine(uint8_t status, uint8_t& lastStatus, std::string& errorText)
{
    if (status == lastStatus || status > HidStatusProgrammingFailed) {
        return;
    }
    lastStatus = status;
    if (status >= HidStatusFailed) {
        static_assert(IDS_ZQ_ERROR_PROGRAMMING - IDS_ZQ_ERROR_FAILED ==
                      HidStatusProgrammingFailed - HidStatusFailed);
        AppendLine(errorText, IDS_ZQ_ERROR_FAILED + (status - HidStatusFailed));
    }
}

void DeviceErrorText::ClearDeviceErrors()
{
    ClearDeviceErrorFields(m_lastOsError, m_lastStatus, m_errorText);
}

void DeviceErrorText::RecordOsError(uint32_t code)
{
    RecordOsErrorLine(code, m_lastOsError, m_errorText);
}

void DeviceErrorText::RecordDeviceStatus(uint8_t status)
{
    RecordDeviceStatusLine(status, m_lastStatus, m_errorText);
}
