#include "device/DeviceResult.h"

#include "lang/StringIds.h"
#include "lang/Texts.h"

namespace {

struct ResultMessage
{
    int code;
    uint32_t stringId;
};

// Searched in order; code 5 has no entry and falls back like any unknown code.
constexpr ResultMessage kResultMessages[] = {
    {DeviceResultOk, 0},
    {DeviceResultUnknown, IDS_RESULT_UNKNOWN},
    {DeviceResultNotSupported, IDS_RESULT_NOT_SUPPORTED},
    {DeviceResultCannotOpenFile, IDS_RESULT_CANNOT_OPEN_FILE},
    {DeviceResultCorruptedFile, IDS_RESULT_CORRUPTED_FILE},
    {DeviceResultVersionNotSupported, IDS_RESULT_ZQ_VERSION},
    {DeviceResultIncorrectData, IDS_RESULT_INCORRECT_DATA},
    {DeviceResultIncorrectConfiguration, IDS_RESULT_INCORRECT_CONFIGURATION},
    {DeviceResultIncorrectVersion, IDS_RESULT_INCORRECT_VERSION},
    {DeviceResultUnsupportedVersion, IDS_RESULT_UNSUPPORTED_VERSION},
    {DeviceResultDecodingError, IDS_RESULT_DECODING_ERROR},
    {DeviceResultNoDevice, IDS_RESULT_NO_DEVICE},
    {DeviceResultZq1100NotFound, IDS_RESULT_ZQ1100_NOT_FOUND},
    {DeviceResultNoDriver, IDS_RESULT_NO_DRIVER},
    {DeviceResultDataNotValid, IDS_RESULT_DATA_NOT_VALID},
    {DeviceResultCommunication, IDS_RESULT_COMMUNICATION},
    {DeviceResultStartingApplication, IDS_RESULT_STARTING_APPLICATION},
    {DeviceResultReceivingConfiguration, IDS_RESULT_RECEIVING_CONFIGURATION},
    {DeviceResultVerifyMismatch, IDS_RESULT_VERIFY_MISMATCH},
    {DeviceResultInterrupted, IDS_RESULT_INTERRUPTED},
};

} // namespace

uint32_t GetResultMessageId(int code)
{
    for (const ResultMessage& entry : kResultMessages) {
        if (entry.code == code) {
            return entry.stringId;
        }
    }
    return IDS_RESULT_UNKNOWN;
}

std::string GetResultMessage(int code)
{
    const uint32_t id = GetResultMessageId(code);
    return id == 0 ? std::string() : LoadText(id);
}

std::string FormatDeviceMessage(int code, const std::string& errorText)
{
    std::string message = GetResultMessage(code);
    if (!message.empty() && !errorText.empty()) {
        message += "\r\n\r\n" + errorText;
    }
    return message;
}
