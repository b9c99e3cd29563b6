#include "SimTestSupport.h"

#include "sim/SimFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

constexpr uint8_t I = 'I', S = 'S', G = 'G', V = 'V', W = 'W';

SimInterfaceConfig UsbConfig()
{
    SimInterfaceConfig config; // 0x0800..0x17FF, header length 16, version 1.0.0
    return config;
}

uint8_t Command(SimDevice& device, uint8_t command, uint16_t address = 0, uint8_t count = 0)
{
    EXPECT_EQ(Call(device, S, CommandReportBytes(command, address, count)).error, 0u);
    return Call(device, G, StatusRequest).payload.at(1);
}

Bytes ReadData(SimDevice& device, size_t count)
{
    Bytes payload = Call(device, G, DataRequest).payload;
    return Bytes(payload.begin() + 1, payload.begin() + 1 + static_cast<std::ptrdiff_t>(count));
}

uint8_t Write(SimDevice& device, uint16_t address, const Bytes& data)
{
    EXPECT_EQ(Call(device, S, DataReport(data)).error, 0u);
    return Command(device, 3, address, static_cast<uint8_t>(data.size()));
}

SimDevice Loaded(SimInterfaceConfig config)
{
    SimDevice device(std::move(config));
    std::string error;
    EXPECT_TRUE(device.Load(error)) << error;
    return device;
}

} // namespace

TEST(SimDevice, InfoAnswersIdsFeatureLengthKindAndName)
{
    SimInterfaceConfig config;
    ASSERT_TRUE(ApplySimFamily("zq3300", config));
    config.vendorId = 0x1234;
    SimDevice usb = Loaded(config);
    EXPECT_EQ(Call(usb, I).payload,
              (Bytes{0x34, 0x12, 0x02, 0x10, 0x89, 0x00, 0x00, 'Z', 'Q', '-', '3', '3', '0', '0'}));

    ASSERT_TRUE(ApplySimFamily("zq1100", config));
    SimDevice legacy = Loaded(config);
    EXPECT_EQ(Call(legacy, I).payload, (Bytes{0, 0, 0, 0, 0, 0, 1, 'Z', 'Q', '-', '1', '1', '0', '0'}));
}

TEST(SimDevice, MemoryMapAndHeaderAnswers)
{
    SimInterfaceConfig config = UsbConfig();
    config.firmwareVersion = {2, 10, 7};
    SimDevice device = Loaded(config);
    EXPECT_EQ(Command(device, 4), 1);
    EXPECT_EQ(ReadData(device, 6), (Bytes{1, 0x00, 0x08, 0xFF, 0x17, 0}));
    EXPECT_EQ(Command(device, 2, 0x0800, 5), 1);
    EXPECT_EQ(ReadData(device, 6), (Bytes{16, 2, 10, 7, 0, 0}));
    // A short read buffer gets as many bytes as it asks for, report id first.
    EXPECT_EQ(Command(device, 4), 1);
    EXPECT_EQ(Call(device, G, {3, 0, 0, 0}).payload, (Bytes{3, 1, 0x00, 0x08}));
    EXPECT_EQ(Call(device, G, StatusRequest).payload, (Bytes{2, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(SimDevice, WriteThenReadBack)
{
    SimDevice device = Loaded(UsbConfig());
    EXPECT_EQ(Write(device, 0x0810, {0xA0, 0xA1, 0xA2}), 1);
    EXPECT_EQ(Command(device, 2, 0x080F, 5), 1);
    EXPECT_EQ(ReadData(device, 6), (Bytes{0, 0xA0, 0xA1, 0xA2, 0, 0}));
    Bytes area = device.Area();
    ASSERT_EQ(area.size(), 4096u);
    EXPECT_EQ(Bytes(area.begin() + 15, area.begin() + 20), (Bytes{0, 0xA0, 0xA1, 0xA2, 0}));

    Bytes full(128, 0x5A);
    EXPECT_EQ(Write(device, 0x1780, full), 1); // the last 128 bytes of the area
    EXPECT_EQ(device.Area().back(), 0x5A);
}

TEST(SimDevice, ACorruptByteHoldsTheComplementOfWhatWasWritten)
{
    SimInterfaceConfig config = UsbConfig();
    config.corruptAddress = 0x0812;
    SimDevice device = Loaded(config);
    // Writes that do not cover the address, or end just before it, store what they are sent.
    EXPECT_EQ(Write(device, 0x0810, {0x11, 0x22}), 1);
    EXPECT_EQ(Write(device, 0x0813, {0x44}), 1);
    EXPECT_EQ(Write(device, 0x0811, {0xA1, 0x5A}), 1);
    EXPECT_EQ(Command(device, 2, 0x0810, 4), 1);
    EXPECT_EQ(ReadData(device, 4), (Bytes{0x11, 0xA1, 0xA5, 0x44}));
    EXPECT_EQ(device.Area()[0x12], 0xA5);
    // A write refused outside the area does not reach it either.
    config.corruptAddress = 0x1800;
    SimDevice outside = Loaded(config);
    EXPECT_EQ(Write(outside, 0x17FF, {0x01, 0x02}), 5);
}

TEST(SimDevice, RefusesTransfersOutsideAreaOrWithoutData)
{
    SimDevice device = Loaded(UsbConfig());
    Bytes full(128, 0x5A);
    EXPECT_EQ(Write(device, 0x1781, full), 5);     // one byte past the end
    EXPECT_EQ(Write(device, 0x07FF, {1}), 5);      // before the start
    EXPECT_EQ(Command(device, 2, 0x1781, 128), 5); // read past the end
    EXPECT_EQ(Write(device, 0x0900, Bytes(129, 1)), 2);
    EXPECT_EQ(Command(device, 2, 0x0900, 0), 2);
    EXPECT_EQ(Command(device, 3, 0x0900, 1), 2); // no data report since the last command
    EXPECT_EQ(Command(device, 9), 2);
    EXPECT_EQ(device.Area(), Loaded(UsbConfig()).Area());

    SimInterfaceConfig empty = UsbConfig();
    empty.endAddress = 0;
    SimDevice none = Loaded(empty);
    EXPECT_TRUE(none.Area().empty());
    EXPECT_EQ(Command(none, 2, 0x0800, 1), 5);
}

TEST(SimDevice, BusyPollsBeforeStatus)
{
    SimInterfaceConfig config = UsbConfig();
    config.busyPolls = {0, 0, 0, 2, 0, 0}; // writes only
    SimDevice device = Loaded(config);
    EXPECT_EQ(Call(device, S, DataReport({7})).error, 0u);
    EXPECT_EQ(Call(device, S, CommandReportBytes(3, 0x0900, 1)).error, 0u);
    for (uint8_t expected : {3, 3, 1, 1}) {
        EXPECT_EQ(Call(device, G, StatusRequest).payload[1], expected);
    }
    EXPECT_EQ(Command(device, 5), 1);

    config.busyPolls.fill(kSimBusyForever);
    SimDevice stuck = Loaded(config);
    EXPECT_EQ(Call(stuck, S, CommandReportBytes(5, 0, 0)).error, 0u);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(Call(stuck, G, StatusRequest).payload[1], 3);
    }
}

TEST(SimDevice, FailRulesAnswerTheirStatusAndSkipTheCommand)
{
    SimInterfaceConfig config = UsbConfig();
    config.failRules = {{0, 2, 6}, {3, 2, 5}, {3, 3, 4}}; // the first rule that matches wins
    SimDevice device = Loaded(config);
    EXPECT_EQ(Write(device, 0x0900, {1}), 1);
    EXPECT_EQ(Write(device, 0x0901, {2}), 6); // second command: not written
    EXPECT_EQ(Write(device, 0x0902, {3}), 4); // third write: not written
    EXPECT_EQ(Write(device, 0x0903, {4}), 1);
    Bytes area = device.Area();
    EXPECT_EQ(Bytes(area.begin() + 0x100, area.begin() + 0x104), (Bytes{1, 0, 0, 4}));
}

TEST(SimDevice, DisconnectAfterReportsAnswersOsError)
{
    SimInterfaceConfig config = UsbConfig();
    config.disconnectAfter = 3;
    config.disconnectError = 1167;
    SimDevice device = Loaded(config);
    EXPECT_EQ(Command(device, 4), 1);
    EXPECT_EQ(ReadData(device, 1), (Bytes{1}));
    SimReply gone = Call(device, G, StatusRequest);
    EXPECT_EQ(gone.error, 1167u);
    EXPECT_TRUE(gone.payload.empty());
    EXPECT_FALSE(gone.close);
    EXPECT_EQ(Call(device, S, CommandReportBytes(5, 0, 0)).error, 1167u);
    EXPECT_EQ(Call(device, I).error, 0u); // still listed, every transfer fails
    EXPECT_TRUE(device.AcceptsConnections());
}

TEST(SimDevice, DisconnectAfterReportsClosesForGood)
{
    SimInterfaceConfig config = UsbConfig();
    config.disconnectAfter = 1;
    SimDevice device = Loaded(config);
    EXPECT_FALSE(Call(device, S, CommandReportBytes(4, 0, 0)).close);
    EXPECT_TRUE(Call(device, G, StatusRequest).close);
    EXPECT_FALSE(device.AcceptsConnections());
    EXPECT_TRUE(Call(device, I).close);
}

TEST(SimDevice, FirmwareBlocksKeptInOrderAndDumped)
{
    TempFolder folder;
    SimInterfaceConfig config = UsbConfig();
    config.dumpFirmwareFile = folder.File("fw.bin");
    SimDevice device = Loaded(config);
    Bytes first(136, 0x11), second(136, 0x22);
    first[0] = 0xF0;
    second[135] = 0x0F;
    EXPECT_EQ(Command(device, 1), 2); // no block sent
    ASSERT_EQ(Call(device, S, DataReport(first)).error, 0u);
    EXPECT_EQ(Command(device, 1), 1);
    ASSERT_EQ(Call(device, S, DataReport(second)).error, 0u);
    EXPECT_EQ(Command(device, 1), 1);
    Bytes expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(device.Firmware(), expected);
    EXPECT_EQ(ReadFileBytes(folder.File("fw.bin")), expected); // written before the answer
}

TEST(SimDevice, LegacyVersionAndByteLog)
{
    TempFolder folder;
    SimInterfaceConfig config;
    ApplySimFamily("zq1100", config);
    config.legacyVersion = 2;
    config.dumpLegacyFile = folder.File("legacy.bin");
    SimDevice device = Loaded(config);
    EXPECT_EQ(Call(device, V).payload, (Bytes{2}));
    EXPECT_EQ(Call(device, W, {0x11}).error, 0u);
    EXPECT_EQ(Call(device, W, {0x00}).error, 0u);
    EXPECT_EQ(Call(device, W, {0x22}).error, 0u);
    EXPECT_EQ(Call(device, W, {0x33, 0x44}).error, 87u);
    EXPECT_EQ(Call(device, W).error, 87u);
    EXPECT_EQ(ReadFileBytes(folder.File("legacy.bin")), (Bytes{0x11, 0x00, 0x22}));
    EXPECT_EQ(Call(device, S, CommandReportBytes(4, 0, 0)).error, 1u);
}

TEST(SimDevice, RequestsTheInterfaceCannotServe)
{
    SimDevice usb = Loaded(UsbConfig());
    EXPECT_EQ(Call(usb, V).error, 1u);
    EXPECT_EQ(Call(usb, 'X').error, 1u);
    EXPECT_EQ(Call(usb, S).error, 87u);
    EXPECT_EQ(Call(usb, G, {7, 0}).error, 87u);
    // A short command report reads as zeros past its end.
    EXPECT_EQ(Call(usb, S, {2, 4}).error, 0u);
    EXPECT_EQ(ReadData(usb, 3), (Bytes{1, 0x00, 0x08}));

    SimInterfaceConfig config = UsbConfig();
    config.featureLength = 0;
    SimDevice noFeature = Loaded(config);
    EXPECT_EQ(Call(noFeature, S, CommandReportBytes(4, 0, 0)).error, 1u);
    EXPECT_EQ(Call(noFeature, G, StatusRequest).error, 1u);
}

TEST(SimDevice, NewConnectionForgetsPendingData)
{
    SimDevice device = Loaded(UsbConfig());
    ASSERT_EQ(Call(device, S, DataReport({9})).error, 0u);
    device.OnConnect();
    EXPECT_EQ(Command(device, 3, 0x0900, 1), 2);
}

TEST(SimDevice, LoadLaysFileThenHeaderOptionsOverDefaults)
{
    TempFolder folder;
    SimInterfaceConfig config = UsbConfig();
    config.endAddress = 0x0807; // 8 bytes
    config.memoryFile = folder.File("mem.bin");
    WriteFileBytes(config.memoryFile, {4, 9, 9, 9, 0xEE});
    config.headerBytes = {0x20};
    config.firmwareVersion = {3, 2, 1};
    config.firmwareVersionGiven = true;
    EXPECT_EQ(Loaded(config).Area(), (Bytes{0x20, 3, 2, 1, 0xEE, 0, 0, 0}));

    config.headerBytes.clear();
    config.firmwareVersionGiven = false;
    config.headerLength = 7;
    config.headerLengthGiven = true;
    WriteFileBytes(config.memoryFile, {4, 9});
    EXPECT_EQ(Loaded(config).Area(), (Bytes{7, 9, 2, 1, 0, 0, 0, 0}));

    WriteFileBytes(config.memoryFile, Bytes(9, 1));
    SimDevice tooBig(config);
    std::string error;
    EXPECT_FALSE(tooBig.Load(error));
    EXPECT_NE(error.find("larger"), std::string::npos);
}

TEST(SimDevice, MemoryInputsThatAreNoFileAreRefusedAtOnce)
{
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.File("folder"));
    // A FIFO without a writer once hung the start.
    for (const std::string& path : {folder.File("fifo"), folder.File("folder"), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        SimInterfaceConfig config = UsbConfig();
        config.memoryFile = path;
        SimDevice device(config);
        std::string error;
        EXPECT_FALSE(device.Load(error));
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
}

TEST(SimDevice, DumpsTakeAFreshTemporaryNameAndLeaveNoneBehind)
{
    TempFolder folder;
    const std::string dump = folder.File("mem.bin");
    // Something planted under the name a dump once always used is neither followed nor touched.
    WriteFileBytes(folder.File("victim"), {1, 2, 3});
    ASSERT_EQ(::symlink(folder.File("victim").c_str(), (dump + ".tmp").c_str()), 0);
    std::string error;
    ASSERT_TRUE(WriteFileReplacing(dump, Bytes{7, 8}.data(), 2, error)) << error;
    ASSERT_TRUE(WriteFileReplacing(dump, Bytes{9}.data(), 1, error)) << error;
    EXPECT_EQ(ReadFileBytes(dump), (Bytes{9}));
    EXPECT_EQ(ReadFileBytes(folder.File("victim")), (Bytes{1, 2, 3}));
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        files += entry.path().filename() != "victim" && entry.path().filename() != "mem.bin.tmp";
    }
    EXPECT_EQ(files, 1u);
}
