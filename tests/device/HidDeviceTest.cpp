#include "device/FakeHidBackend.h"
#include "device/HidChannel.h"
#include "device/MessagePump.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

HidInterfaceInfo Interface(const std::string& path, uint16_t vendorId, uint16_t productId,
                           uint16_t featureLength, HidInterfaceKind kind = HidInterfaceKind::Hid)
{
    return {path, vendorId, productId, featureLength, kind, "keyboard"};
}

class HidDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetPumpMessagesHook([this] { ++m_pumps; });
    }
    void TearDown() override { SetPumpMessagesHook(nullptr); }

    FakeHidBackend m_backend;
    int m_pumps = 0;
};

TEST_F(HidDeviceTest, OpenTakesTheFirstMatchingInterfaceWithAFeatureReport)
{
    m_backend.AddInterface(Interface("other-vendor", 0x9999, 0x1000, 137));
    m_backend.AddInterface(Interface("other-product", 0x1234, 0x1002, 137));
    m_backend.AddInterface(Interface("no-feature", 0x1234, 0x1000, 0));
    m_backend.AddInterface(Interface("legacy", 0x1234, 0x1000, 137, HidInterfaceKind::LegacyDriver));
    m_backend.AddInterface(Interface("busy", 0x1234, 0x1000, 137));
    m_backend.AddInterface(Interface("first", 0x1234, 0x1000, 64));
    m_backend.AddInterface(Interface("second", 0x1234, 0x1000, 137));
    m_backend.SetOpenError("busy", EACCES);

    HidDevice device(m_backend);
    ASSERT_TRUE(device.Open(0x1234, 0x1000));
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(m_backend.OpenedPaths(), std::vector<std::string>{"first"});
    EXPECT_EQ(m_pumps, 6); // before each of the six enumeration steps taken
    HidCaps caps;
    EXPECT_TRUE(device.GetCaps(caps));
    EXPECT_EQ(caps.featureReportByteLength, 64);
}

TEST_F(HidDeviceTest, NoMatchLeavesTheDeviceClosedAndReleasesNothing)
{
    m_backend.AddInterface(Interface("no-feature", 0x1234, 0x1000, 0));
    HidDevice device(m_backend);
    EXPECT_FALSE(device.IsOpen());
    device.Close();
    EXPECT_FALSE(device.Open(0x1234, 0x1000));
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(m_pumps, 2); // the interface, then the end of the list
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(m_backend.CloseCount(), 0u);
    HidCaps caps{99};
    EXPECT_FALSE(device.GetCaps(caps));
    EXPECT_EQ(caps.featureReportByteLength, 0);

    m_backend.SetEnumerationFails(true);
    EXPECT_FALSE(device.Open(0x1234, 0x1000));
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(HidDeviceTest, OpenCloseAndDestructionReleaseTheHandle)
{
    m_backend.AddInterface(Interface("kbd", 0x1234, 0x1002, 137));
    {
        HidChannel channel(m_backend);
        ASSERT_TRUE(channel.Open(0x1234, 0x1002));
        m_backend.SetMemoryMap(1, 0x10, 0x20);
        ASSERT_TRUE(channel.QueryMemoryMap());

        // Opening again closes first and forgets the memory map.
        m_backend.SetMemoryMap(0, 0, 0);
        ASSERT_TRUE(channel.Open(0x1234, 0x1002));
        EXPECT_EQ(m_backend.CloseCount(), 1u);
        EXPECT_EQ(m_backend.OpenHandleCount(), 1u);
        EXPECT_EQ(channel.GetStartAddress(), 0);
        EXPECT_EQ(channel.GetEndAddress(), 0);
    }
    EXPECT_EQ(m_backend.CloseCount(), 2u);
    EXPECT_EQ(m_backend.OpenHandleCount(), 0u);
}

} // namespace
