// Which interfaces "zqtool list" shows and what it says of each.
#include "device/KeyboardInterfaces.h"
#include "device/FakeHidBackend.h"
#include "device/FakeLegacyDriver.h"
#include "device/OsError.h"
#include "model/UsbKeyboard.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

HidInterfaceInfo Interface(const std::string& path, uint16_t vendorId, uint16_t productId,
                           uint16_t featureLength)
{
    HidInterfaceInfo info;
    info.path = path;
    info.vendorId = vendorId;
    info.productId = productId;
    info.featureReportByteLength = featureLength;
    info.name = "name of " + path;
    return info;
}

TEST(KeyboardInterfacesTest, EachConsideredInterfaceWithWhyItCannotBeUsed)
{
    FakeHidBackend hid;
    hid.AddInterface(Interface("/dev/hidraw0", 0x046D, 0xC077, 8));         // a mouse: never considered
    hid.AddInterface(Interface("/dev/hidraw1", kZqUsbVendorId, 0x1000, 0)); // the typing interface
    hid.AddInterface(Interface("/dev/hidraw2", kZqUsbVendorId, 0x1000, 137));
    hid.AddInterface(Interface("/dev/hidraw3", kZqUsbVendorId, 0x1002, 137));
    hid.AddInterface(Interface("/dev/hidraw4", kZqUsbVendorId, 0x1002, 137));
    hid.AddInterface(Interface("/dev/hidraw5", kZqUsbVendorId, 0x1002, 137));
    hid.AddInterface(Interface("/dev/hidraw6", kZqUsbVendorId, 0x2000, 137)); // no family of ours
    HidInterfaceInfo cardReader = Interface("/dev/hidraw9", kZqUsbVendorId, 0x1002, 9);
    cardReader.programmingReports = false;
    hid.AddInterface(cardReader);
    HidInterfaceInfo unreadable = Interface("/dev/hidraw7", 0, 0, 0); // whose, cannot be told
    unreadable.readError = kOsErrorOtherBase + EFBIG;
    hid.AddInterface(unreadable);
    HidInterfaceInfo otherUnreadable = Interface("/dev/hidraw8", 0x046D, 0xC077, 0);
    otherUnreadable.readError = kOsErrorOtherBase + EISDIR;
    hid.AddInterface(otherUnreadable);
    hid.SetOpenError("/dev/hidraw3", EACCES);
    hid.SetHeldElsewhere("/dev/hidraw4");
    hid.SetOpenError("/dev/hidraw5", ENODEV);

    const std::vector<KeyboardInterface> list = ListHidInterfaces(hid, kZqUsbVendorId);
    struct Expected
    {
        const char* path;
        const char* family;
        InterfaceState state;
        uint32_t osError;
    };
    const Expected expected[] = {
        {"/dev/hidraw1", "ZQ-2200", InterfaceState::NoFeatureReport, 0},
        {"/dev/hidraw2", "ZQ-2200", InterfaceState::Usable, 0},
        {"/dev/hidraw3", "ZQ-3300", InterfaceState::NoPermission, kOsErrorOtherBase + EACCES},
        {"/dev/hidraw4", "ZQ-3300", InterfaceState::InUse, kOsErrorInUse},
        {"/dev/hidraw5", "ZQ-3300", InterfaceState::Failed, kOsErrorNotConnected},
        {"/dev/hidraw9", "ZQ-3300", InterfaceState::NoFeatureReport, 0},
        {"/dev/hidraw7", "", InterfaceState::Unreadable, kOsErrorOtherBase + EFBIG},
    };
    ASSERT_EQ(list.size(), std::size(expected));
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(expected[i].path);
        EXPECT_EQ(list[i].path, expected[i].path);
        EXPECT_EQ(list[i].family, expected[i].family);
        EXPECT_EQ(list[i].state, expected[i].state);
        EXPECT_EQ(list[i].osError, expected[i].osError);
        EXPECT_EQ(list[i].name, "name of " + list[i].path);
    }
    // Probing leaves nothing open, and another vendor id finds none but the node of unknown ids.
    EXPECT_EQ(hid.OpenHandleCount(), 0u);
    const std::vector<KeyboardInterface> other = ListHidInterfaces(hid, 0x1234);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0].path, "/dev/hidraw7");
}

TEST(KeyboardInterfacesTest, TheLegacyDriverIsOpenedAndClosedAgain)
{
    FakeLegacyDriver driver;
    KeyboardInterface entry = ProbeLegacyDriver(driver, "/dev/zq1100");
    EXPECT_EQ(entry.state, InterfaceState::Usable);
    EXPECT_EQ(entry.family, "ZQ-1100");
    EXPECT_EQ(entry.kind, HidInterfaceKind::LegacyDriver);
    EXPECT_FALSE(driver.IsOpen());
    driver.SetOpenFails(true);
    EXPECT_NE(ProbeLegacyDriver(driver, "/dev/zq1100").state, InterfaceState::Usable);
}

TEST(KeyboardInterfacesTest, ASimulatorEntryNobodyServesIsListedAsSilent)
{
    const std::vector<KeyboardInterface> list =
        ListSimulatorInterfaces({"/nonexistent/zq-socket", "tcp:127.0.0.1:1"}, kZqUsbVendorId);
    ASSERT_EQ(list.size(), 2u);
    for (const KeyboardInterface& entry : list) {
        EXPECT_EQ(entry.state, InterfaceState::NotAnswering) << entry.path;
    }
}

} // namespace
