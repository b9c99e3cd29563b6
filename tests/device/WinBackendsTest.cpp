// The Windows device backends as far as they can be reached without a keyboard: the factory,
// refused arguments, and the legacy driver's open rules on an ordinary file in its place.
#include "device/DeviceBackends.h"
#include "device/WinHidBackend.h"
#include "device/WinLegacyDriver.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(WinBackends, FactoryChoosesThemWithoutTheSimulatorVariable)
{
    EXPECT_NE(dynamic_cast<WinHidBackend*>(CreateHidBackend(nullptr).get()), nullptr);
    EXPECT_NE(dynamic_cast<WinLegacyDriver*>(CreateLegacyDriverBackend(nullptr).get()), nullptr);
}

TEST(WinHidBackend, RefusesWhatItNeverOpenedWithoutCallingTheSystem)
{
    WinHidBackend backend;
    std::vector<HidInterfaceInfo> interfaces;
    // Whatever this machine has, the list can be made.
    EXPECT_TRUE(backend.Enumerate(interfaces));
    EXPECT_EQ(backend.GetLastError(), 0u);

    EXPECT_EQ(backend.Open(""), kInvalidHidHandle);
    EXPECT_EQ(backend.GetLastError(), static_cast<uint32_t>(ERROR_INVALID_NAME));
    EXPECT_EQ(backend.Open("\\\\?\\hid#vid_fa2c&pid_1000#none#{4d1e55b2-f16f-11cf-88cb-001111000030}"),
              kInvalidHidHandle);
    EXPECT_NE(backend.GetLastError(), 0u);

    uint8_t report[8] = {2};
    EXPECT_FALSE(backend.SetFeature(12345, report, sizeof report));
    EXPECT_EQ(backend.GetLastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(backend.GetFeature(12345, report, sizeof report));
    EXPECT_EQ(backend.GetLastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
}

TEST(WinLegacyDriver, MissingDriverFailsWithTheSystemsCode)
{
    WinLegacyDriver driver;
    EXPECT_FALSE(driver.Open());
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(driver.GetLastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    uint8_t version = 9;
    EXPECT_FALSE(driver.QueryVersion(version));
    EXPECT_EQ(version, 0);
    EXPECT_EQ(driver.GetLastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
}

TEST(WinLegacyDriver, OpenIsExclusiveAndControlCodesReachTheHandle)
{
    TempFolder folder;
    const std::string device = folder.Write("zq1100", "");
    WinLegacyDriver first(device);
    WinLegacyDriver second(device);
    ASSERT_TRUE(first.Open()) << first.GetLastError();
    EXPECT_FALSE(first.Open());
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.GetLastError(), static_cast<uint32_t>(ERROR_SHARING_VIOLATION));

    // A file knows neither control code: the call fails and the system's reason is kept.
    uint8_t version = 9;
    EXPECT_FALSE(first.QueryVersion(version));
    EXPECT_EQ(version, 0);
    EXPECT_NE(first.GetLastError(), 0u);
    EXPECT_FALSE(first.WriteByte(0x55));
    EXPECT_NE(first.GetLastError(), 0u);

    first.Close();
    EXPECT_EQ(first.GetLastError(), 0u);
    EXPECT_TRUE(second.Open());
}

} // namespace
