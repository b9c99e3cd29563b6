#include "device/UsbFirmware.h"
#include "SpecialFiles.h"
#include "UsbTestKeyboard.h"
#include "device/DeviceResult.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace {

const Bytes CommitCommand = {0x02, 0x01, 0, 0, 0, 0, 0, 0};

std::string HexText(const Bytes& bytes, bool upper = true)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    for (uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

Bytes Block(uint8_t seed)
{
    Bytes block(136);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(seed + i * 3);
    }
    return block;
}

class UsbFirmwareTest : public ::testing::Test, protected FakeUsbKeyboard
{
protected:
    void TearDown() override { std::filesystem::remove(m_path); }

    const std::string& WriteFile(const std::string& text)
    {
        std::ofstream(m_path, std::ios::binary) << text;
        return m_path;
    }

    UsbTestKeyboard m_keyboard;
    RecordingProgress m_progress;
    std::string m_path =
        (std::filesystem::temp_directory_path() /
         ("zq-firmware-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".enc"))
            .string();
};

TEST_F(UsbFirmwareTest, EachBlockIsOneDataReportAndACommitWithNothingAround)
{
    const Bytes first = Block(1);
    const Bytes second = Block(2);
    // Case of the digits does not matter.
    const std::string& path = WriteFile(HexText(first, false) + HexText(second, true));

    EXPECT_EQ(UploadUsbFirmware(m_keyboard, path, &m_progress, m_access), DeviceResultOk);

    const std::vector<ExpectedReport> expected = {
        {true, DataReport(first)},  {true, CommitCommand}, {false, StatusRequest},
        {true, DataReport(second)}, {true, CommitCommand}, {false, StatusRequest},
    };
    EXPECT_EQ(Exchanged(m_backend), expected);
    EXPECT_EQ(m_backend.FirmwareBlocks(), (std::vector<Bytes>{first, second}));
    EXPECT_EQ(m_progress.m_calls, (ProgressCalls{{0, 2}, {1, 2}, {2, 2}, {0, 0}}));
    EXPECT_EQ(m_backend.OpenHandleCount(), 0u);
}

TEST_F(UsbFirmwareTest, FileFaultsGiveTheirCodes)
{
    const std::string block = HexText(Block(5));
    std::string badInside = block + block;
    badInside[272 + 9] = 'G';
    std::string badStart = block + block;
    badStart[272] = 'G';
    struct Case
    {
        const char* name;
        std::string text;
        int result;
        size_t blocksSent;
        const char* why;
    };
    // A faulty file is refused whole, before any block could leave the keyboard half updated.
    const Case cases[] = {
        {"empty", "", DeviceResultCorruptedFile, 0, "The firmware file is empty."},
        {"only line ends", "\r\n\n", DeviceResultCorruptedFile, 0, "The firmware file is empty."},
        {"271 characters", block.substr(0, 271), DeviceResultCorruptedFile, 0,
         "The firmware file holds 271 hexadecimal digits: not whole blocks of 272."},
        {"G in the second block", badInside, DeviceResultCorruptedFile, 0,
         "The firmware file holds a character that is not a hexadecimal digit at position 282."},
        {"second block starts with G", badStart, DeviceResultCorruptedFile, 0,
         "The firmware file holds a character that is not a hexadecimal digit at position 273."},
        {"a line end between blocks", block + "\r\n" + block, DeviceResultCorruptedFile, 0,
         "The firmware file holds a character that is not a hexadecimal digit at position 273."},
        {"an editor's final line end", block + block + "\r\n", DeviceResultOk, 2, ""},
        {"a final LF", block + "\n", DeviceResultOk, 1, ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        FakeUsbKeyboard keyboard;
        m_progress.m_calls.clear();
        EXPECT_EQ(UploadUsbFirmware(m_keyboard, WriteFile(test.text), &m_progress, keyboard.m_access),
                  test.result);
        EXPECT_EQ(keyboard.m_backend.FirmwareBlocks().size(), test.blocksSent);
        EXPECT_EQ(m_keyboard.GetErrorText(), test.why);
        if (test.blocksSent == 0) {
            EXPECT_TRUE(m_progress.m_calls.empty());
        }
    }
}

TEST_F(UsbFirmwareTest, AMissingFileComesBeforeAMissingKeyboard)
{
    m_keyboard.SetVendorId(0x1234);
    EXPECT_EQ(UploadUsbFirmware(m_keyboard, m_path + ".missing", nullptr, m_access),
              DeviceResultCannotOpenFile);
    EXPECT_EQ(UploadUsbFirmware(m_keyboard, WriteFile(HexText(Block(0))), &m_progress, m_access),
              DeviceResultNoDevice);
    EXPECT_TRUE(m_backend.Reports().empty());
    EXPECT_TRUE(m_progress.m_calls.empty());
}

TEST_F(UsbFirmwareTest, InputsThatAreNoFileOrTooLargeAreRefusedBeforeAnyBlock)
{
    TempFolder folder;
    for (const std::string& path : MakeNonRegularInputs(folder)) {
        SCOPED_TRACE(path);
        EXPECT_EQ(UploadUsbFirmware(m_keyboard, path, nullptr, m_access), DeviceResultCannotOpenFile);
    }
    EXPECT_TRUE(m_backend.Reports().empty());
    // Cut to 32 bits, 4 GiB reads as an empty file and 4 GiB + 272 as one block; 4 GiB + 16 is a
    // whole number of blocks that 32-bit positions cannot reach.
    for (const uint64_t size : {kFourGiB, kFourGiB + 272, kFourGiB + 16}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(MakeSparseFile(m_path, size, HexText(Block(1))));
        FakeUsbKeyboard keyboard;
        EXPECT_EQ(UploadUsbFirmware(m_keyboard, m_path, &m_progress, keyboard.m_access),
                  DeviceResultCorruptedFile);
        EXPECT_TRUE(keyboard.m_backend.FirmwareBlocks().empty());
        EXPECT_EQ(m_keyboard.GetErrorText(),
                  "The firmware file is too large: " + std::to_string(size) + " bytes.");
    }
    EXPECT_TRUE(m_progress.m_calls.empty());
}

TEST_F(UsbFirmwareTest, AFailedTransferGives15WithTheReasonInTheErrorText)
{
    const std::string& path = WriteFile(HexText(Block(1)) + HexText(Block(2)) + HexText(Block(3)));
    m_backend.FailAtReport(5, ENODEV); // the second commit
    EXPECT_EQ(UploadUsbFirmware(m_keyboard, path, nullptr, m_access), DeviceResultDataNotValid);
    EXPECT_EQ(m_backend.FirmwareBlocks().size(), 1u);
    EXPECT_EQ(m_keyboard.GetErrorText(), LoadText(IDS_USB_ERROR_NOT_CONNECTED));

    FakeUsbKeyboard refusing;
    refusing.m_backend.QueueStatuses({HidStatusDone, HidStatusProgrammingFailed});
    EXPECT_EQ(UploadUsbFirmware(m_keyboard, path, nullptr, refusing.m_access), DeviceResultDataNotValid);
    EXPECT_EQ(m_keyboard.GetErrorText(), LoadText(IDS_ZQ_ERROR_PROGRAMMING));
}

TEST_F(UsbFirmwareTest, FilterNamesTheEncFiles)
{
    std::string filter;
    std::string extension;
    EXPECT_EQ(GetUsbFirmwareFileFilter(&filter, &extension), "ZQ-2200/ZQ-3300 Firmware file (*.enc)|*.enc||");
    EXPECT_EQ(filter, "ZQ-2200/ZQ-3300 Firmware file (*.enc)|*.enc||");
    EXPECT_EQ(extension, "enc");
}

TEST_F(UsbFirmwareTest, VersionQueryReadsTheHeaderAndStartsTheApplication)
{
    m_keyboard.m_deviceName = "ZQ-3300";
    std::string text;
    EXPECT_EQ(GetUsbFirmwareVersion(m_keyboard, &m_progress, &text, m_access), DeviceResultOk);
    EXPECT_EQ(text, "ZQ-3300 v 2.10.7");
    const std::vector<ExpectedReport> expected = {
        {true, {0x02, 0x04, 0, 0, 0, 0, 0, 0}},          {false, StatusRequest}, {false, DataRequest},
        {true, {0x02, 0x02, 0x00, 0x01, 0x80, 0, 0, 0}}, {false, StatusRequest}, {false, DataRequest},
        {true, {0x02, 0x05, 0, 0, 0, 0, 0, 0}},          {false, StatusRequest},
    };
    EXPECT_EQ(Exchanged(m_backend), expected);
    EXPECT_EQ(m_progress.m_calls, (ProgressCalls{{0, 1}, {0, 0}}));
}

TEST_F(UsbFirmwareTest, VersionQueryFailuresKeepZerosInTheText)
{
    struct Case
    {
        const char* name;
        size_t failingReport; // 0: the keyboard answers "denied" to the memory map
        int result;
        uint32_t textId;
        const char* text;
    };
    const Case cases[] = {
        {"memory map", 0, DeviceResultReceivingConfiguration, IDS_ZQ_ERROR_DENIED, "ZQ-2200 v 0.0.0"},
        {"header read", 4, DeviceResultCommunication, IDS_USB_ERROR_NOT_FUNCTIONING, "ZQ-2200 v 0.0.0"},
        {"start", 7, DeviceResultStartingApplication, IDS_USB_ERROR_NOT_FUNCTIONING, "ZQ-2200 v 2.10.7"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        FakeUsbKeyboard keyboard;
        if (test.failingReport == 0) {
            keyboard.m_backend.QueueStatuses({HidStatusDenied});
        } else {
            keyboard.m_backend.FailAtReport(test.failingReport, EIO, false);
        }
        std::string text;
        EXPECT_EQ(GetUsbFirmwareVersion(m_keyboard, nullptr, &text, keyboard.m_access), test.result);
        EXPECT_EQ(text, test.text);
        EXPECT_EQ(m_keyboard.GetErrorText(), LoadText(test.textId));
        EXPECT_EQ(keyboard.m_backend.ApplicationStarts(), test.failingReport == 7 ? 0u : 1u);
    }
}

} // namespace
