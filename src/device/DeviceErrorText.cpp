#include "device/DeviceErrorText.h"

#include "device/HidReports.h"
#include "device/OsError.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"

void DeviceErrorText::ClearDeviceErrors()
{
    m_lastOsError = 0;
    m_lastStatus = 0;
    m_errorText.clear();
}

void DeviceErrorText::RecordOsError(uint32_t code)
{
    if (code == m_lastOsError) {
        return;
    }
    if (code == OsErrorNotFunctioning) {
        AppendLine(IDS_USB_ERROR_NOT_FUNCTIONING);
    } else if (code == OsErrorNotConnected) {
        AppendLine(IDS_USB_ERROR_NOT_CONNECTED);
    } else {
        return;
    }
    m_lastOsError = code;
}

void DeviceErrorText::RecordDeviceStatus(uint8_t status)
{
    if (status == m_lastStatus || status > HidStatusProgrammingFailed) {
        return;
    }
    m_lastStatus = status;
    if (status >= HidStatusFailed) {
        static_assert(IDS_ZQ_ERROR_PROGRAMMING - IDS_ZQ_ERROR_FAILED ==
                      HidStatusProgrammingFailed - HidStatusFailed);
        AppendLine(IDS_ZQ_ERROR_FAILED + (status - HidStatusFailed));
    }
}

void DeviceErrorText::SetErrorText(const std::string& text)
{
    m_errorText = text;
}

void DeviceErrorText::AppendLine(uint32_t stringId)
{
    if (!m_errorText.empty()) {
        m_errorText += "\r\n";
    }
    m_errorText += LoadText(stringId);
}
