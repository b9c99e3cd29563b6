#include "device/DeviceResult.h"
#include "UsbTestKeyboard.h"
#include "app/MemorySettingsStore.h"
#include "device/UsbVendorId.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceResultTest, EveryCodeShowsItsMessage)
{
    const std::pair<int, const char*> table[] = {
        {0, ""},
        {1, "Unknown error during communication."},
        {2, "Operation not supported"},
        {3, "Cannot open file!"},
        {4, "Incorrect or corrupted file."},
        {5, "Unknown error during communication."},
        {6, "Connected ZQ version is not supported."},
        {7, "Incorrect data received."},
        {8, "Incorrect Keyboard configuration received."},
        {9, "Incorrect keyboard version."},
        {10, "Unsupported keyboard version."},
        {11, "Error on data decoding.\nData are invalid."},
        {12, "No device was found.\nCheck if the keyboard is connected via USB port to PC."},
        {13, "ZQ-1100 not found.\nChceck if the keyboard is connected."},
        {14, "The necessary driver is not installed.\nPlease install the included driver to your system."},
        {15, "The programmed data are not valid."},
        {16, "An error occured during communication."},
        {17, "Error on starting keyboard application."},
        {18, "Error receiving keyboard configuration."},
        {19, "Unknown error during communication."},
        {20, "The keyboard holds other data than were written."},
        {21, "Interrupted."},
        {22, "Unknown error during communication."},
        {-1, "Unknown error during communication."},
    };
    for (const auto& [code, message] : table) {
        EXPECT_EQ(GetResultMessage(code), message) << code;
    }
}

TEST(DeviceResultTest, TheErrorTextFollowsAfterABlankLine)
{
    EXPECT_EQ(FormatDeviceMessage(16, "USB Error: The device is not connected."),
              "An error occured during communication.\r\n\r\nUSB Error: The device is not connected.");
    EXPECT_EQ(FormatDeviceMessage(12, ""), GetResultMessage(12));
    EXPECT_EQ(FormatDeviceMessage(0, "ZQ Error: Operation failed."), "");
}

TEST(UsbVendorIdTest, TheSettingOverridesTheBuiltInIdOnlyWithAValidId)
{
    const std::pair<const char*, uint16_t> table[] = {
        {"0x16C0", 0x16C0},       {"5824", 5824},       {" 0x1234 ", 0x1234},
        {"0", kZqUsbVendorId},    {"", kZqUsbVendorId}, {"0x10000", kZqUsbVendorId},
        {"12ab", kZqUsbVendorId},
    };
    for (const auto& [text, vendorId] : table) {
        MemorySettingsStore store;
        store.WriteValue("Configuration", "VendorID", text);
        EXPECT_EQ(LoadVendorIdSetting(store, nullptr), vendorId) << text;
    }
    EXPECT_EQ(LoadVendorIdSetting(MemorySettingsStore(), nullptr), kZqUsbVendorId);
}

TEST(UsbVendorIdTest, AValidEnvironmentValueWinsOverTheSetting)
{
    MemorySettingsStore store;
    store.WriteValue("Configuration", "VendorID", "0x16C0");
    EXPECT_EQ(LoadVendorIdSetting(store, "0x1209"), 0x1209);
    EXPECT_EQ(LoadVendorIdSetting(store, "banana"), 0x16C0);
    EXPECT_EQ(LoadVendorIdSetting(MemorySettingsStore(), "0"), kZqUsbVendorId);
}

TEST(UsbVendorIdTest, AUsbProjectIsOpenedWithTheAppliedId)
{
    UsbTestKeyboard keyboard;
    ApplyVendorId(keyboard, 0x16C0);
    EXPECT_EQ(keyboard.GetVendorId(), 0x16C0);
}

} // namespace
