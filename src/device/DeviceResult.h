// The result codes every device operation answers, and the message shown for each.
#pragma once

#include <cstdint>
#include <string>

enum DeviceResult : int {
    DeviceResultOk = 0,
    DeviceResultUnknown = 1,
    DeviceResultNotSupported = 2,
    DeviceResultCannotOpenFile = 3,
    DeviceResultCorruptedFile = 4,
    DeviceResultVersionNotSupported = 6, // the image does not fit the keyboard, or is empty
    DeviceResultIncorrectData = 7,
    DeviceResultIncorrectConfiguration = 8,
    DeviceResultIncorrectVersion = 9,
    DeviceResultUnsupportedVersion = 10,
    DeviceResultDecodingError = 11,
    DeviceResultNoDevice = 12,
    DeviceResultZq1100NotFound = 13,
    DeviceResultNoDriver = 14,
    DeviceResultDataNotValid = 15,
    DeviceResultCommunication = 16,
    DeviceResultStartingApplication = 17,
    DeviceResultReceivingConfiguration = 18,
    // Added after 18: read back after writing, the keyboard held other bytes. 19 stays
    // without an entry, as every code the program never answered.
    DeviceResultVerifyMismatch = 20,
    // A stop was requested (zqtool on SIGINT or SIGTERM); the closing steps were run.
    DeviceResultInterrupted = 21,
};

// 0 for success; codes without an entry of their own share the id of "Unknown error".
uint32_t GetResultMessageId(int code);
// Empty for success.
std::string GetResultMessage(int code);
// What the front ends show for a device command: the code's message, then a blank line and the
// keyboard's error text when there is one. Empty for success.
std::string FormatDeviceMessage(int code, const std::string& errorText);
