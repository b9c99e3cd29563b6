#include "device/HidChannel.h"
#include "DeviceTestSupport.h"
#include "device/FakeHidBackend.h"
#include "device/MessagePump.h"
#include "device/OsError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace {

class HidChannelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_backend.AddInterface({"/dev/hidraw0", 0x1234, 0x1000, 137, HidInterfaceKind::Hid, "ZQ-2200"});
        ASSERT_TRUE(m_channel.Open(0x1234, 0x1000));
        SetPumpMessagesHook([this] { ++m_pumps; });
    }
    void TearDown() override { SetPumpMessagesHook(nullptr); }

    size_t StatusReads() const
    {
        size_t count = 0;
        for (const auto& report : m_backend.Reports()) {
            count += !report.set && report.bytes.size() == 8 && report.bytes[0] == 2;
        }
        return count;
    }

    FakeHidBackend m_backend;
    HidChannel m_channel{m_backend};
    int m_pumps = 0;
};

TEST_F(HidChannelTest, CommandsSendTheirReportThenOneStatusRead)
{
    struct Case
    {
        bool (*run)(HidChannel&);
        Bytes command;
    };
    const Case cases[] = {
        {[](HidChannel& c) { return c.CommitFirmwareBlock(); }, {0x02, 0x01, 0, 0, 0, 0, 0, 0}},
        {[](HidChannel& c) { return c.RequestRead(0xABCD, 5); }, {0x02, 0x02, 0xCD, 0xAB, 0x05, 0, 0, 0}},
        {[](HidChannel& c) { return c.ConfirmWrite(0x1234, 128); }, {0x02, 0x03, 0x34, 0x12, 0x80, 0, 0, 0}},
        {[](HidChannel& c) { return c.StartApplication(); }, {0x02, 0x05, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& test : cases) {
        m_backend.ClearReports();
        EXPECT_TRUE(test.run(m_channel));
        ASSERT_EQ(m_backend.Reports().size(), 2u);
        EXPECT_TRUE(m_backend.Reports()[0].set);
        EXPECT_EQ(m_backend.Reports()[0].bytes, test.command);
        EXPECT_FALSE(m_backend.Reports()[1].set);
        EXPECT_EQ(m_backend.Reports()[1].bytes, StatusRequest);
        EXPECT_EQ(m_channel.GetStatus(), 1);
        EXPECT_EQ(m_channel.GetLastError(), 0u);
    }
}

TEST_F(HidChannelTest, SendDataPadsThePayloadAndRefusesMoreThan136Bytes)
{
    EXPECT_TRUE(m_channel.SendData(Bytes{0xAA, 0xBB, 0xCC}.data(), 3));
    ASSERT_EQ(m_backend.Reports().size(), 1u);
    EXPECT_TRUE(m_backend.Reports()[0].set);
    EXPECT_EQ(m_backend.Reports()[0].bytes, DataReport({0xAA, 0xBB, 0xCC}));

    Bytes full(137, 0x5A);
    m_backend.ClearReports();
    EXPECT_TRUE(m_channel.SendData(full.data(), 136));
    ASSERT_EQ(m_backend.Reports().size(), 1u);
    EXPECT_EQ(m_backend.Reports()[0].bytes, DataReport(Bytes(136, 0x5A)));

    m_backend.ClearReports();
    EXPECT_FALSE(m_channel.SendData(full.data(), 137));
    EXPECT_FALSE(m_channel.SendData(nullptr, 1));
    EXPECT_TRUE(m_backend.Reports().empty());
}

TEST_F(HidChannelTest, ReceiveDataCopiesThePayloadAndZerosAfterAFailure)
{
    m_backend.QueueData({1, 2, 3, 4, 5, 6});
    Bytes buffer(8, 0xEE);
    EXPECT_TRUE(m_channel.ReceiveData(buffer.data(), 4));
    EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE}));
    ASSERT_EQ(m_backend.Reports().size(), 1u);
    EXPECT_FALSE(m_backend.Reports()[0].set);
    EXPECT_EQ(m_backend.Reports()[0].bytes, DataReport({}));

    m_backend.QueueData({9, 9, 9});
    m_backend.FailAtReport(2, EIO);
    EXPECT_FALSE(m_channel.ReceiveData(buffer.data(), 3));
    EXPECT_EQ(buffer, (Bytes{0, 0, 0, 4, 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(m_channel.GetLastError(), kOsErrorNotFunctioning);

    EXPECT_FALSE(m_channel.ReceiveData(buffer.data(), 137));
    EXPECT_EQ(m_backend.Reports().size(), 2u);
}

TEST_F(HidChannelTest, BusyAnswersArePolledUntilDone)
{
    m_backend.QueueStatuses({3, 3, 1});
    EXPECT_TRUE(m_channel.StartApplication());
    EXPECT_EQ(StatusReads(), 3u);
    EXPECT_EQ(m_channel.GetStatus(), 1);
    EXPECT_EQ(m_pumps, 2);
    for (const auto& report : m_backend.Reports()) {
        if (!report.set) {
            EXPECT_EQ(report.bytes, StatusRequest);
        }
    }
}

TEST_F(HidChannelTest, FailingStatusesEndTheCommandAtOnce)
{
    for (uint8_t status : {0, 2, 4, 5, 6, 7, 255}) {
        m_backend.ClearReports();
        m_backend.QueueStatuses({status});
        EXPECT_FALSE(m_channel.ConfirmWrite(0, 1)) << int(status);
        EXPECT_EQ(m_channel.GetStatus(), status);
        EXPECT_EQ(StatusReads(), 1u);
        EXPECT_EQ(m_channel.GetLastError(), 0u);
    }
}

TEST_F(HidChannelTest, TransferFailuresKeepTheStatusAndTheMappedOsError)
{
    // The command report itself fails: no status is read.
    m_backend.FailAtReport(1, ENODEV, false);
    EXPECT_FALSE(m_channel.StartApplication());
    EXPECT_EQ(m_backend.Reports().size(), 1u);
    EXPECT_EQ(m_channel.GetStatus(), 1);
    EXPECT_EQ(m_channel.GetLastError(), kOsErrorNotConnected);

    // A failed status read is not retried and leaves the status at 1.
    m_backend.ClearReports();
    m_backend.QueueStatuses({2});
    m_backend.FailAtReport(2, EPIPE, false);
    EXPECT_FALSE(m_channel.StartApplication());
    EXPECT_EQ(m_backend.Reports().size(), 2u);
    EXPECT_EQ(m_channel.GetStatus(), 1);
    EXPECT_EQ(m_channel.GetLastError(), kOsErrorNotFunctioning);
}

TEST_F(HidChannelTest, ContinuousBusyEndsAfterTenSecondsWithStatus3)
{
    uint64_t now = 0;
    m_channel.SetClock([&] { return now; }, [&](uint32_t) { now += 250; });

    // Reads at 0, 250, ..., 10000 ms: the 41st read is the last one allowed.
    m_backend.QueueStatuses(Bytes(40, 3));
    EXPECT_TRUE(m_channel.RequestRead(0, 1));
    EXPECT_EQ(StatusReads(), 41u);

    m_backend.ClearReports();
    m_backend.SetDefaultStatus(3);
    now = 123456;
    EXPECT_FALSE(m_channel.RequestRead(0, 1));
    EXPECT_EQ(StatusReads(), 41u);
    EXPECT_EQ(m_channel.GetStatus(), 3);
    EXPECT_EQ(m_channel.GetLastError(), 0u);
}

TEST_F(HidChannelTest, MemoryMapIsCachedUntilClose)
{
    m_backend.SetMemoryMap(1, 0x0100, 0x0FFF);
    ASSERT_TRUE(m_channel.QueryMemoryMap());
    EXPECT_EQ(m_channel.GetFormatVersion(), 1);
    EXPECT_EQ(m_channel.GetStartAddress(), 0x0100);
    EXPECT_EQ(m_channel.GetEndAddress(), 0x0FFF);
    EXPECT_EQ(m_channel.GetMemoryCapacity(), 0x0F00);
    const Bytes expected[] = {{0x02, 0x04, 0, 0, 0, 0, 0, 0}, StatusRequest, DataReport({})};
    ASSERT_EQ(m_backend.Reports().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m_backend.Reports()[i].bytes, expected[i]);
    }

    EXPECT_TRUE(m_channel.QueryMemoryMap());
    EXPECT_EQ(m_backend.Reports().size(), 3u);

    m_channel.Close();
    EXPECT_EQ(m_channel.GetStartAddress(), 0);
    ASSERT_TRUE(m_channel.Open(0x1234, 0x1000));
    EXPECT_TRUE(m_channel.QueryMemoryMap());
    EXPECT_EQ(m_backend.Reports().size(), 6u);
}

TEST_F(HidChannelTest, AllZeroMemoryMapIsAskedAgain)
{
    EXPECT_TRUE(m_channel.QueryMemoryMap());
    EXPECT_EQ(m_channel.GetMemoryCapacity(), 0);
    EXPECT_TRUE(m_channel.QueryMemoryMap());
    EXPECT_EQ(m_backend.Reports().size(), 6u);

    // A refused command reads no data report.
    m_backend.ClearReports();
    m_backend.QueueStatuses({4});
    EXPECT_FALSE(m_channel.QueryMemoryMap());
    EXPECT_EQ(m_backend.Reports().size(), 2u);
}

TEST_F(HidChannelTest, CommandsOnAClosedChannelFailWithoutTraffic)
{
    m_channel.Close();
    uint8_t byte = 0x77;
    EXPECT_FALSE(m_channel.StartApplication());
    EXPECT_FALSE(m_channel.SendData(&byte, 1));
    EXPECT_FALSE(m_channel.ReceiveData(&byte, 1));
    EXPECT_EQ(byte, 0);
    EXPECT_TRUE(m_backend.Reports().empty());
}

TEST_F(HidChannelTest, WritesAndReadsReachTheFakeKeyboardMemory)
{
    const Bytes data = {0x10, 0x20, 0x30};
    ASSERT_TRUE(m_channel.SendData(data.data(), data.size()));
    ASSERT_TRUE(m_channel.ConfirmWrite(0xFFFF, 3));
    EXPECT_EQ(m_backend.Memory()[0xFFFF], 0x10);
    EXPECT_EQ(m_backend.Memory()[0x0000], 0x20);

    Bytes read(3, 0);
    ASSERT_TRUE(m_channel.RequestRead(0xFFFF, 3));
    ASSERT_TRUE(m_channel.ReceiveData(read.data(), read.size()));
    EXPECT_EQ(read, data);
}

} // namespace
