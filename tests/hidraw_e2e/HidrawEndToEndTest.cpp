// The hidraw backend through the kernel: a made-up sysfs tree names nodes that a FUSE filesystem
// serves, so open() and the feature-report ioctls are the real system calls.
#include "EmulatedHidraw.h"
#include "ScriptedKeyboard.h"

#include "device/HidChannel.h"
#include "device/HidrawBackend.h"
#include "device/OsError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr uint16_t VendorId = 0xFA2C;
constexpr uint16_t Zq2200ProductId = 0x1000;

const Bytes TypingInterface = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x75, 0x08,
                               0x95, 0x08, 0x81, 0x00, 0x91, 0x02, 0xC0};
const Bytes VendorInterface = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x85, 0x02,
    0x95, 0x07, 0x09, 0x01, 0xB1, 0x02, 0x85, 0x03, 0x95, 0x88, 0x09, 0x02, 0xB1, 0x02, 0xC0,
};
const Bytes MouseInterface = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x04, 0x81, 0x06, 0xC0};

Bytes Pattern(size_t length, uint8_t seed)
{
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 7);
    }
    return bytes;
}

// A ZQ-2200 on hidraw0 (typing interface) and hidraw1 (feature reports), a mouse on hidraw2.
// Further protocol runs plug another FeatureResponder (such as the simulator's device) in place of
// the scripted keyboard.
class HidrawEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zq-hidraw-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        fs::create_directories(m_root / "dev");
        AddSysfsNode("hidraw0", "0003:0000FA2C:00001000", "Tavrin ZQ-2200", TypingInterface);
        AddSysfsNode("hidraw1", "0003:0000FA2C:00001000", "Tavrin ZQ-2200", VendorInterface);
        AddSysfsNode("hidraw2", "0003:0000046D:0000C077", "USB Optical Mouse", MouseInterface);
        m_fs.AddNode("hidraw0", m_typing);
        m_fs.AddNode("hidraw1", m_keyboard);
        m_fs.AddNode("hidraw2", m_mouse);
        std::string reason;
        if (!m_fs.Mount((m_root / "dev").string(), reason)) {
            GTEST_SKIP() << "no emulated hidraw nodes: " << reason;
        }
        m_backend = std::make_unique<HidrawBackend>((m_root / "sys").string(), (m_root / "dev").string());
    }

    void TearDown() override
    {
        m_backend.reset();
        m_fs.Unmount();
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }

    void AddSysfsNode(const std::string& node, const std::string& hidId, const std::string& name,
                      const Bytes& descriptor)
    {
        const fs::path device = m_root / "sys/class/hidraw" / node / "device";
        fs::create_directories(device);
        std::ofstream(device / "uevent")
            << "DRIVER=hid-generic\nHID_ID=" << hidId << "\nHID_NAME=" << name << "\n";
        std::ofstream(device / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()),
                   static_cast<std::streamsize>(descriptor.size()));
    }

    std::string Dev(const std::string& node) const { return (m_root / "dev" / node).string(); }

    fs::path m_root;
    ScriptedKeyboard m_typing;
    ScriptedKeyboard m_keyboard;
    ScriptedKeyboard m_mouse;
    EmulatedHidraw m_fs;
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
    ASSERT_NE(handle, InvalidHidHandle);

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
    EXPECT_EQ(m_backend->GetLastError(), OsErrorNone);
    m_backend->Close(handle);
    EXPECT_EQ(m_backend->GetLastError(), OsErrorNone);
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
    ASSERT_NE(handle, InvalidHidHandle);
    const Bytes command = {0x02, 0x05, 0, 0, 0, 0, 0, 0};
    const Bytes request = {0x02, 0, 0, 0, 0, 0, 0, 0};
    struct Fault
    {
        int errnoValue;
        int shortCount;
        uint32_t expected;
    };
    const Fault faults[] = {
        {EPIPE, -1, OsErrorNotFunctioning},  {EIO, -1, OsErrorNotFunctioning},
        {EPROTO, -1, OsErrorNotFunctioning}, {ETIMEDOUT, -1, OsErrorNotFunctioning},
        {ENODEV, -1, OsErrorNotConnected},   {EBUSY, -1, OsErrorOtherBase + EBUSY},
        {0, 5, OsErrorNotFunctioning},       {0, 0, OsErrorNotFunctioning},
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
    m_fs.UnplugAtSetFeature("hidraw1", 2, [this] { fs::remove_all(m_root / "sys/class/hidraw/hidraw1"); });
    {
        HidChannel channel(*m_backend);
        ASSERT_TRUE(channel.Open(VendorId, Zq2200ProductId));
        const Bytes chunk = Pattern(16, 1);
        ASSERT_TRUE(channel.SendData(chunk.data(), chunk.size()));
        EXPECT_FALSE(channel.ConfirmWrite(0x0800, 16));
        EXPECT_EQ(channel.GetLastError(), OsErrorNotConnected);
        ASSERT_EQ(m_keyboard.Received().size(), 1u); // the data report only
    }
    // Everything after the unplug says the same.
    std::vector<HidInterfaceInfo> found;
    ASSERT_TRUE(m_backend->Enumerate(found));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].path, Dev("hidraw2"));
    EXPECT_EQ(m_backend->Open(Dev("hidraw1")), InvalidHidHandle);
    EXPECT_EQ(m_backend->GetLastError(), OsErrorNotConnected);
    HidChannel again(*m_backend);
    EXPECT_FALSE(again.Open(VendorId, Zq2200ProductId));
}

TEST_F(HidrawEndToEndTest, OpenNodeFailsWithoutHangingWhenItsServerIsGone)
{
    const HidHandle handle = m_backend->Open(Dev("hidraw1"));
    ASSERT_NE(handle, InvalidHidHandle);
    m_fs.Unmount();
    Bytes status = {0x02, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(m_backend->GetFeature(handle, status.data(), status.size()));
    // FUSE answers ENOTCONN here; a real hidraw node whose device left answers ENODEV (tested above).
    EXPECT_NE(m_backend->GetLastError(), OsErrorNone);
    m_backend->Close(handle);
}

} // namespace
