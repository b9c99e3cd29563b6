// The hidraw backend through the kernel: a made-up sysfs tree names nodes that a FUSE filesystem
// serves, so open() and the feature-report ioctls are the real system calls.
#include "HidrawTestTree.h"
#include "ScriptedKeyboard.h"

#include "device/HidChannel.h"
#include "device/HidrawBackend.h"
#include "device/OsError.h"
#include "model/UsbKeyboard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t VendorId = kZqUsbVendorId;
constexpr uint16_t Zq2200ProductId = 0x1000;

Bytes Pattern(size_t length, uint8_t seed)
{
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 7);
    }
    return bytes;
}

// A ZQ-2200 on hidraw0 (typing interface) and hidraw1 (feature reports), a mouse on hidraw2.
class HidrawEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string reason;
        ASSERT_TRUE(m_tree.Create(reason)) << reason;
        ASSERT_TRUE(m_tree.AddNode("hidraw0", VendorId, Zq2200ProductId, "Tavrin ZQ-2200",
                                   HidrawDescriptors::Typing, m_typing));
        ASSERT_TRUE(m_tree.AddNode("hidraw1", VendorId, Zq2200ProductId, "Tavrin ZQ-2200",
                                   HidrawDescriptors::Vendor, m_keyboard));
        ASSERT_TRUE(m_tree.AddNode("hidraw2", 0x046D, 0xC077, "USB Optical Mouse", HidrawDescriptors::Mouse,
                                   m_mouse));
        if (!m_tree.Mount(reason)) {
            GTEST_SKIP() << "no emulated hidraw nodes: " << reason;
        }
        m_backend = std::make_unique<HidrawBackend>(m_tree.SysfsRoot(), m_tree.DeviceFolder());
    }

    std::string Dev(const std::string& node) const { return m_tree.Dev(node); }

    // The responders outlive the tree, the tree outlives the backend.
    ScriptedKeyboard m_typing;
    ScriptedKeyboard m_keyboard;
    ScriptedKeyboard m_mouse;
    HidrawTestTree m_tree;
    std::unique_ptr<HidrawBackend> m_backend;
};

TEST_F(HidrawEndToEndTest, FeatureReportsCrossTheKernelByteForByte)
{
    std::vector<HidInterfaceInfo> found;
    ASSERT_TRUE(m_backend->Enumerate(found));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[1].path, Dev("hidraw1"));
    EXPECT_EQ(found[0].featureReportByteLength, 0);
    EXPECT_EQ(found[1].featureReportByteLength, 137);
    EXPECT_EQ(found[2].vendorId, 0x046D);

    const HidHandle handle = m_backend->Open(Dev("hidraw1"));
    ASSERT_NE(handle, kInvalidHidHandle);

    const Bytes command = {0x02, 0x03, 0x34, 0x12, 0x80, 0x00, 0x00, 0x00};
    Bytes data = Pattern(137, 11);
    data[0] = 0x03;
    ASSERT_TRUE(m_backend->SetFeature(handle, command.data(), command.size()));
    ASSERT_TRUE(m_backend->SetFeature(handle, data.data(), data.size()));
    EXPECT_EQ(m_keyboard.Received(), (std::vector<Bytes>{command, data}));

    Bytes status = {0x02, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(m_backend->GetFeature(handle, status.data(), status.size()));
    EXPECT_EQ(status, (Bytes{0x02, 0x01, 0, 0, 0, 0, 0, 0}));

    const Bytes payload = Pattern(136, 200);
    m_keyboard.SetDataAnswer(payload);
    Bytes answer(137, 0);
    answer[0] = 0x03;
    ASSERT_TRUE(m_backend->GetFeature(handle, answer.data(), answer.size()));
    Bytes expected = {0x03};
    expected.insert(expected.end(), payload.begin(), payload.end());
    EXPECT_EQ(answer, expected);
    EXPECT_EQ(m_backend->GetLastError(), kOsErrorNone);
    m_backend->Close(handle);
    EXPECT_EQ(m_backend->GetLastError(), kOsErrorNone);
}

TEST_F(HidrawEndToEndTest, ChannelTakesTheFeatureInterfaceAndReadsTheMemoryMap)
{
    m_keyboard.SetStatus(1, 2);
    m_keyboard.SetDataAnswer({0x01, 0x00, 0x08, 0xFF, 0x17});
    HidChannel channel(*m_backend);
    ASSERT_TRUE(channel.Open(VendorId, Zq2200ProductId));
    ASSERT_TRUE(channel.QueryMemoryMap());
    EXPECT_EQ(channel.GetFormatVersion(), 1);
    EXPECT_EQ(channel.GetStartAddress(), 0x0800);
    EXPECT_EQ(channel.GetEndAddress(), 0x17FF);
    EXPECT_EQ(channel.GetStatus(), 1);
    EXPECT_EQ(m_keyboard.Received(), (std::vector<Bytes>{{0x02, 0x04, 0, 0, 0, 0, 0, 0}}));
    EXPECT_TRUE(m_typing.Received().empty());
}

TEST_F(HidrawEndToEndTest, DeviceFaultsAndPartialReportsAreFailures)
{
    const HidHandle handle = m_backend->Open(Dev("hidraw1"));
    ASSERT_NE(handle, kInvalidHidHandle);
    const Bytes command = {0x02, 0x05, 0, 0, 0, 0, 0, 0};
    const Bytes request = {0x02, 0, 0, 0, 0, 0, 0, 0};
    struct Fault
    {
        int errnoValue;
        int shortCount;
        uint32_t expected;
    };
    const Fault faults[] = {
        {EPIPE, -1, kOsErrorNotFunctioning},  {EIO, -1, kOsErrorNotFunctioning},
        {EPROTO, -1, kOsErrorNotFunctioning}, {ETIMEDOUT, -1, kOsErrorNotFunctioning},
        {ENODEV, -1, kOsErrorNotConnected},   {EBUSY, -1, kOsErrorOtherBase + EBUSY},
        {0, 5, kOsErrorNotFunctioning},       {0, 0, kOsErrorNotFunctioning},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.errnoValue * 100 + fault.shortCount);
        for (bool set : {true, false}) {
            if (fault.errnoValue != 0) {
                m_keyboard.FailNext(fault.errnoValue);
            } else {
                m_keyboard.AnswerShortNext(fault.shortCount);
            }
            Bytes buffer = set ? command : request;
            const bool done = set ? m_backend->SetFeature(handle, buffer.data(), buffer.size())
                                  : m_backend->GetFeature(handle, buffer.data(), buffer.size());
            EXPECT_FALSE(done);
            EXPECT_EQ(m_backend->GetLastError(), fault.expected);
            EXPECT_EQ(buffer, set ? command : request); // nothing half-read reaches the caller
        }
    }
    // The device is still usable afterwards.
    Bytes status = request;
    EXPECT_TRUE(m_backend->GetFeature(handle, status.data(), status.size()));
    EXPECT_EQ(status[1], 1);
    m_backend->Close(handle);
}

TEST_F(HidrawEndToEndTest, KeyboardUnpluggedMidWriteIsNotConnected)
{
    m_tree.UnplugAtSetFeature("hidraw1", 2);
    {
        HidChannel channel(*m_backend);
        ASSERT_TRUE(channel.Open(VendorId, Zq2200ProductId));
        const Bytes chunk = Pattern(16, 1);
        ASSERT_TRUE(channel.SendData(chunk.data(), chunk.size()));
        EXPECT_FALSE(channel.ConfirmWrite(0x0800, 16));
        EXPECT_EQ(channel.GetLastError(), kOsErrorNotConnected);
        ASSERT_EQ(m_keyboard.Received().size(), 1u); // the data report only
    }
    // Everything after the unplug says the same.
    std::vector<HidInterfaceInfo> found;
    ASSERT_TRUE(m_backend->Enumerate(found));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].path, Dev("hidraw2"));
    EXPECT_EQ(m_backend->Open(Dev("hidraw1")), kInvalidHidHandle);
    EXPECT_EQ(m_backend->GetLastError(), kOsErrorNotConnected);
    HidChannel again(*m_backend);
    EXPECT_FALSE(again.Open(VendorId, Zq2200ProductId));
}

TEST_F(HidrawEndToEndTest, OpenNodeFailsWithoutHangingWhenItsServerIsGone)
{
    const HidHandle handle = m_backend->Open(Dev("hidraw1"));
    ASSERT_NE(handle, kInvalidHidHandle);
    m_tree.Unmount();
    Bytes status = {0x02, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(m_backend->GetFeature(handle, status.data(), status.size()));
    // FUSE answers ENOTCONN here; a real hidraw node whose device left answers ENODEV (tested above).
    EXPECT_NE(m_backend->GetLastError(), kOsErrorNone);
    m_backend->Close(handle);
}

} // namespace
