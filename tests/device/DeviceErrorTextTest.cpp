#include "device/DeviceErrorText.h"
#include "device/OsError.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(OsErrorTest, ErrnoValuesMapToTheRecordedCodes)
{
    EXPECT_EQ(MapOsError(0), 0u);
    for (int gone : {ENODEV, ENXIO, ENOENT}) {
        EXPECT_EQ(MapOsError(gone), 1167u) << gone;
    }
    for (int failing : {EIO, EPIPE, EPROTO, ETIMEDOUT}) {
        EXPECT_EQ(MapOsError(failing), 31u) << failing;
    }
    // EMLINK is 31 on Linux: it must not read as "not functioning".
    for (int other : {EACCES, EBUSY, EMLINK, EINVAL}) {
        EXPECT_NE(MapOsError(other), 31u) << other;
        EXPECT_NE(MapOsError(other), 1167u) << other;
        EXPECT_NE(MapOsError(other), 0u) << other;
    }
    // Only an exclusive open that failed says "in use"; EBUSY from a report does not.
    for (int error = 0; error < 200; ++error) {
        EXPECT_NE(MapOsError(error), kOsErrorInUse) << error;
    }
}

TEST(DeviceErrorTextTest, AKeyboardInUseGivesItsOwnLineOnce)
{
    DeviceErrorText text;
    text.RecordOsError(kOsErrorInUse);
    text.RecordOsError(kOsErrorInUse);
    EXPECT_EQ(text.GetErrorText(), "USB Error: The keyboard is in use by another program.");
}

TEST(DeviceErrorTextTest, OsErrorsGiveOneLineEachUntilTheCodeChanges)
{
    DeviceErrorText text;
    text.RecordOsError(31);
    text.RecordOsError(31);
    EXPECT_EQ(text.GetErrorText(), "USB Error: Device attached to the system is not functioning. ");
    text.RecordOsError(0);
    text.RecordOsError(MapOsError(EACCES));
    text.RecordOsError(31); // unrecorded codes leave 31 as the last one
    text.RecordOsError(1167);
    text.RecordOsError(1167);
    EXPECT_EQ(text.GetErrorText(), "USB Error: Device attached to the system is not functioning. \r\n"
                                   "USB Error: The device is not connected.");
}

TEST(DeviceErrorTextTest, StatusesTwoToSixHaveTheirTexts)
{
    const struct
    {
        uint8_t status;
        const char* text;
    } cases[] = {
        {2, "ZQ Error: Operation failed."},
        {3, "ZQ Error: Device bussy."},
        {4, "ZQ Error: Operation denied - application not present."},
        {5, "ZQ Error: Operation is not allowed."},
        {6, "ZQ Error: Programming operation failed."},
    };
    for (const auto& test : cases) {
        DeviceErrorText text;
        text.RecordDeviceStatus(test.status);
        text.RecordDeviceStatus(test.status);
        EXPECT_EQ(text.GetErrorText(), test.text);
    }
}

TEST(DeviceErrorTextTest, SilentAndUnknownStatusesAndClearing)
{
    DeviceErrorText text;
    text.RecordDeviceStatus(0);
    text.RecordDeviceStatus(1);
    text.RecordDeviceStatus(7);
    text.RecordDeviceStatus(255);
    EXPECT_EQ(text.GetErrorText(), "");

    // 1 was the last recorded status, so a new 2 after it adds a second line.
    text.RecordDeviceStatus(2);
    text.RecordDeviceStatus(200);
    text.RecordDeviceStatus(2);
    text.RecordDeviceStatus(1);
    text.RecordDeviceStatus(2);
    text.RecordOsError(1167);
    EXPECT_EQ(text.GetErrorText(), "ZQ Error: Operation failed.\r\nZQ Error: Operation failed.\r\n"
                                   "USB Error: The device is not connected.");

    text.ClearDeviceErrors();
    EXPECT_EQ(text.GetErrorText(), "");
    text.RecordDeviceStatus(2);
    text.RecordOsError(1167);
    EXPECT_EQ(text.GetErrorText(), "ZQ Error: Operation failed.\r\nUSB Error: The device is not connected.");
}

} // namespace
