#include "device/UsbProgramming.h"
#include "UsbTestKeyboard.h"
#include "device/DeviceResult.h"
#include "device/DeviceStop.h"
#include "device/HidChannel.h"
#include "device/UsbVendorId.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace {

const Bytes QueryMemoryMapCommand = {0x02, 0x04, 0, 0, 0, 0, 0, 0};
const Bytes ReadHeaderByteCommand = {0x02, 0x02, 0x00, 0x01, 0x01, 0, 0, 0};
const Bytes StartApplicationCommand = {0x02, 0x05, 0, 0, 0, 0, 0, 0};

// The six reports that open every programming and reading back: memory map, then header byte H.
std::vector<ExpectedReport> OpeningReports()
{
    return {{true, QueryMemoryMapCommand}, {false, StatusRequest}, {false, DataRequest},
            {true, ReadHeaderByteCommand}, {false, StatusRequest}, {false, DataRequest}};
}

Bytes Pattern(size_t length)
{
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    return bytes;
}

size_t CountSetReports(const FakeHidBackend& backend, uint8_t reportId, uint8_t command = 0)
{
    size_t count = 0;
    for (const auto& report : backend.Reports()) {
        count += report.set && report.bytes[0] == reportId && (command == 0 || report.bytes[1] == command);
    }
    return count;
}

class UsbProgrammingTest : public ::testing::Test, protected FakeUsbKeyboard
{
protected:
    // The opening steps and the two chunks that write the 129-byte image.
    std::vector<ExpectedReport> OpeningAndWriteOf129Bytes() const
    {
        const Bytes first(m_keyboard.m_image.begin(), m_keyboard.m_image.begin() + 128);
        std::vector<ExpectedReport> expected = OpeningReports();
        expected.insert(expected.end(), {
                                            {true, DataReport(first)},
                                            {true, {0x02, 0x03, 0x08, 0x01, 0x80, 0, 0, 0}},
                                            {false, StatusRequest},
                                            {true, DataReport({m_keyboard.m_image[128]})},
                                            {true, {0x02, 0x03, 0x88, 0x01, 0x01, 0, 0, 0}},
                                            {false, StatusRequest},
                                        });
        return expected;
    }

    UsbTestKeyboard m_keyboard;
    RecordingProgress m_progress;
};

TEST_F(UsbProgrammingTest, ProgramWritesA129ByteImageInTwoChunksBehindTheHeader)
{
    m_keyboard.m_image = Pattern(129);

    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, m_access), DeviceResultOk);

    std::vector<ExpectedReport> expected = OpeningAndWriteOf129Bytes();
    expected.insert(expected.end(), {
                                        {true, StartApplicationCommand},
                                        {false, StatusRequest},
                                    });
    EXPECT_EQ(Exchanged(m_backend), expected);
    EXPECT_EQ(Bytes(m_backend.Memory().begin() + 0x108, m_backend.Memory().begin() + 0x189),
              m_keyboard.m_image);
    EXPECT_EQ(m_progress.m_calls, (ProgressCalls{{0, 129}, {128, 129}, {129, 129}, {0, 0}}));
    EXPECT_EQ(m_keyboard.m_builtFormat, 1);
    EXPECT_EQ(m_keyboard.GetErrorText(), "");
    EXPECT_EQ(m_backend.OpenHandleCount(), 0u);
}

const Bytes ReadFirstChunkCommand = {0x02, 0x02, 0x08, 0x01, 0x80, 0, 0, 0};
const Bytes ReadSecondChunkCommand = {0x02, 0x02, 0x88, 0x01, 0x01, 0, 0, 0};

TEST_F(UsbProgrammingTest, VerifyReadsTheWrittenRangeBackBeforeTheApplicationStarts)
{
    m_keyboard.m_image = Pattern(129);
    m_keyboard.SetVerifyAfterProgramming(true);

    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, m_access), DeviceResultOk);

    std::vector<ExpectedReport> expected = OpeningAndWriteOf129Bytes();
    expected.insert(expected.end(), {
                                        {true, ReadFirstChunkCommand},
                                        {false, StatusRequest},
                                        {false, DataRequest},
                                        {true, ReadSecondChunkCommand},
                                        {false, StatusRequest},
                                        {false, DataRequest},
                                        {true, StartApplicationCommand},
                                        {false, StatusRequest},
                                    });
    EXPECT_EQ(Exchanged(m_backend), expected);
    // One bar for writing and reading back.
    EXPECT_EQ(m_progress.m_calls,
              (ProgressCalls{{0, 258}, {128, 258}, {129, 258}, {257, 258}, {258, 258}, {0, 0}}));
    EXPECT_EQ(m_keyboard.GetErrorText(), "");
}

TEST_F(UsbProgrammingTest, VerifyNamesTheFirstAddressThatDiffersAndReadsNoFurther)
{
    struct Case
    {
        uint16_t corrupt;
        const char* address;
        size_t reads; // RequestRead commands, the header byte's included
    };
    // The image lies at 0x0108..0x0188.
    const Case cases[] = {{0x0108, "0x0108", 2}, {0x0187, "0x0187", 2}, {0x0188, "0x0188", 3}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.address);
        FakeUsbKeyboard keyboard;
        keyboard.m_backend.CorruptStoredByte(test.corrupt);
        m_keyboard.m_image = Pattern(129);
        m_keyboard.SetVerifyAfterProgramming(true);
        const int result = ProgramUsbKeyboard(m_keyboard, nullptr, keyboard.m_access);
        EXPECT_EQ(result, DeviceResultVerifyMismatch);
        EXPECT_EQ(FormatDeviceMessage(result, m_keyboard.GetErrorText()),
                  std::string("The keyboard holds other data than were written.\r\n\r\n"
                              "The first difference is at address ") +
                      test.address + ".");
        EXPECT_EQ(CountSetReports(keyboard.m_backend, kCommandReportId, HidCommandRequestRead), test.reads);
        EXPECT_EQ(keyboard.m_backend.ApplicationStarts(), 1u);

        // Without verifying, the same keyboard is taken at its word.
        m_keyboard.SetVerifyAfterProgramming(false);
        EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, nullptr, keyboard.m_access), DeviceResultOk);
        EXPECT_EQ(m_keyboard.GetErrorText(), "");
    }
}

TEST_F(UsbProgrammingTest, AReadBackFailingAtItsFirstOrLastChunkIsACommunicationError)
{
    // Reports 1-6 open, 7-12 write two chunks, 13-15 and 16-18 read them back, 19-20 start.
    for (const size_t number : {13, 14, 15, 16, 17, 18}) {
        SCOPED_TRACE(number);
        FakeUsbKeyboard keyboard;
        keyboard.m_backend.FailAtReport(number, EIO, false);
        m_keyboard.m_image = Pattern(129);
        m_keyboard.SetVerifyAfterProgramming(true);
        EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, nullptr, keyboard.m_access), DeviceResultCommunication);
        EXPECT_EQ(m_keyboard.GetErrorText(), LoadText(IDS_USB_ERROR_NOT_FUNCTIONING));
        EXPECT_EQ(keyboard.m_backend.ApplicationStarts(), 1u);
    }
    // A read the keyboard refuses: status reads 1-2 open, 3-4 write, 5-6 read back.
    for (const size_t read : {5, 6}) {
        SCOPED_TRACE(read);
        FakeUsbKeyboard keyboard;
        keyboard.m_backend.QueueStatuses(Bytes(read - 1, HidStatusDone));
        keyboard.m_backend.QueueStatuses({HidStatusNotAllowed});
        m_keyboard.m_image = Pattern(129);
        m_keyboard.SetVerifyAfterProgramming(true);
        EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, nullptr, keyboard.m_access), DeviceResultCommunication);
        EXPECT_EQ(m_keyboard.GetErrorText(), LoadText(IDS_ZQ_ERROR_NOT_ALLOWED));
    }
}

TEST_F(UsbProgrammingTest, ProgramRefusesImagesThatDoNotFitOrAreEmpty)
{
    struct Case
    {
        uint16_t endAddress;
        uint8_t headerLength;
        size_t imageSize;
        int result;
        ProgressCalls progress;
    };
    // The area 0x0100..0x01FF holds 256 bytes: 248 behind an 8-byte header; 0x0100..0x0163 holds 100.
    const Case cases[] = {
        {0x01FF, 8, 248, DeviceResultOk, {{0, 248}, {128, 248}, {248, 248}, {0, 0}}},
        {0x01FF, 8, 249, DeviceResultVersionNotSupported, {{0, 0}}},
        {0x01FF, 8, 0, DeviceResultVersionNotSupported, {{0, 0}, {0, 0}}},
        {0x0163, 100, 1, DeviceResultVersionNotSupported, {{0, 0}}},    // the header fills the area
        {0x0163, 200, 1, DeviceResultReceivingConfiguration, {{0, 0}}}, // header longer than the area
        {0x0000, 8, 1, DeviceResultReceivingConfiguration, {{0, 0}}},   // no memory at all
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.imageSize);
        FakeUsbKeyboard keyboard(test.endAddress);
        keyboard.SetMemoryMap(test.endAddress, test.headerLength);
        m_keyboard.m_image = Pattern(test.imageSize);
        m_progress.m_calls.clear();
        EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, keyboard.m_access), test.result);
        EXPECT_EQ(m_progress.m_calls, test.progress);
        EXPECT_EQ(CountSetReports(keyboard.m_backend, kDataReportId), test.result == 0 ? 2u : 0u);
        EXPECT_EQ(keyboard.m_backend.ApplicationStarts(), 1u);
    }
}

TEST_F(UsbProgrammingTest, WithoutAKeyboardNothingIsSentAndNoTextRecorded)
{
    m_keyboard.SetVendorId(0x1234);
    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, m_access), DeviceResultNoDevice);
    EXPECT_EQ(DownloadUsbSequences(m_keyboard, &m_progress, m_access), DeviceResultNoDevice);
    uint8_t header[128] = {};
    uint8_t length = 128;
    EXPECT_EQ(QueryUsbDeviceHeader(m_keyboard, &length, header, m_access), DeviceResultNoDevice);
    EXPECT_TRUE(m_backend.Reports().empty());
    EXPECT_TRUE(m_progress.m_calls.empty());
    EXPECT_EQ(m_keyboard.GetErrorText(), "");

    // A project without a product id does not even look.
    m_keyboard.SetVendorId(kZqUsbVendorId);
    m_keyboard.SetProductId(0);
    const size_t enumerations = m_backend.EnumerationCount();
    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, m_access), DeviceResultNoDevice);
    EXPECT_EQ(m_backend.EnumerationCount(), enumerations);
}

TEST_F(UsbProgrammingTest, AKeyboardHeldByAnotherProgramIsNotFoundAndTheTextSaysWhy)
{
    m_backend.SetHeldElsewhere("/dev/hidraw0");
    m_keyboard.m_image = Pattern(4);
    const std::string inUse = LoadText(IDS_USB_ERROR_IN_USE);
    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, m_access), DeviceResultNoDevice);
    EXPECT_EQ(m_keyboard.GetErrorText(), inUse);
    EXPECT_EQ(DownloadUsbSequences(m_keyboard, &m_progress, m_access), DeviceResultNoDevice);
    EXPECT_EQ(m_keyboard.GetErrorText(), inUse);
    uint8_t header[128] = {};
    uint8_t length = 128;
    EXPECT_EQ(QueryUsbDeviceHeader(m_keyboard, &length, header, m_access), DeviceResultNoDevice);
    EXPECT_EQ(m_keyboard.GetErrorText(), inUse);
    EXPECT_TRUE(m_backend.Reports().empty());
    EXPECT_TRUE(m_progress.m_calls.empty());

    // A free keyboard with the same ids further on is taken, and nothing is said of the other.
    m_backend.AddInterface(
        {"/dev/hidraw1", kZqUsbVendorId, UsbTestKeyboard::ProductId, 137, HidInterfaceKind::Hid, "ZQ-2200"});
    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, m_access), DeviceResultOk);
    EXPECT_EQ(m_keyboard.GetErrorText(), "");
    EXPECT_EQ(m_backend.OpenedPaths(), (std::vector<std::string>{"/dev/hidraw1"}));
}

TEST_F(UsbProgrammingTest, FamilyImageResultsEndTheOperationAfterStartingTheApplication)
{
    m_keyboard.m_buildResult = DeviceResultUnsupportedVersion;
    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, m_access), DeviceResultUnsupportedVersion);
    EXPECT_EQ(CountSetReports(m_backend, kDataReportId), 0u);
    EXPECT_EQ(m_backend.ApplicationStarts(), 1u);

    m_backend.SetMemoryMap(2, FakeUsbKeyboard::StartAddress, 0x08FF);
    m_backend.ClearReports();
    EXPECT_EQ(DownloadUsbSequences(m_keyboard, &m_progress, m_access), DeviceResultUnsupportedVersion);
    EXPECT_EQ(CountSetReports(m_backend, kCommandReportId, HidCommandRequestRead), 1u); // the header only
    EXPECT_EQ(m_backend.ApplicationStarts(), 2u);
}

// Report numbers of a programming of 129 bytes and of a reading back of 129 bytes alike:
// 1-3 memory map, 4-6 header byte, 7-12 two chunks, 13-14 start.
int ExpectedAtReport(size_t number)
{
    if (number <= 3) {
        return DeviceResultReceivingConfiguration;
    }
    return number <= 12 ? DeviceResultCommunication : DeviceResultStartingApplication;
}

const std::string PartlyWritten =
    "\r\nThe keyboard now holds part of the new layout; programming it again puts it right.";

struct Operation
{
    const char* name;
    bool download;
};
const Operation Operations[] = {{"program", false}, {"download", true}};

TEST_F(UsbProgrammingTest, AFailingReportAnywhereGivesItsCodeAndOneLineOfText)
{
    struct Error
    {
        int errnoValue;
        uint32_t textId;
    };
    const Error errors[] = {{ENODEV, IDS_USB_ERROR_NOT_CONNECTED}, {EIO, IDS_USB_ERROR_NOT_FUNCTIONING}};
    for (const Operation& operation : Operations) {
        for (const Error& error : errors) {
            for (bool sticky : {false, true}) {
                for (size_t number = 1; number <= 14; ++number) {
                    SCOPED_TRACE(std::string(operation.name) + " errno " + std::to_string(error.errnoValue) +
                                 (sticky ? " sticky" : " once") + " at report " + std::to_string(number));
                    FakeUsbKeyboard keyboard(0x0188); // 137 bytes: 129 behind the header
                    UsbTestKeyboard project;
                    project.m_image = Pattern(129);
                    project.m_neededLength = 129;
                    keyboard.m_backend.FailAtReport(number, error.errnoValue, sticky);
                    const int result = operation.download
                                           ? DownloadUsbSequences(project, nullptr, keyboard.m_access)
                                           : ProgramUsbKeyboard(project, nullptr, keyboard.m_access);
                    EXPECT_EQ(result, ExpectedAtReport(number));
                    // Reports 10-12 carry the second chunk, when the first is written already.
                    const bool partlyWritten = !operation.download && number >= 10 && number <= 12;
                    EXPECT_EQ(project.GetErrorText(),
                              LoadText(error.textId) + (partlyWritten ? PartlyWritten : ""));
                    EXPECT_EQ(keyboard.m_backend.OpenHandleCount(), 0u);
                    if (operation.download) {
                        // Never a partial image.
                        EXPECT_EQ(project.m_parsed.empty(), number <= 12);
                    }
                }
            }
        }
    }
}

TEST_F(UsbProgrammingTest, AFailingOrEndlesslyBusyStatusGivesItsCodeAndItsTextOnce)
{
    // Status reads 1 memory map, 2 header byte, 3 and 4 the chunks, 5 start.
    const int expected[] = {DeviceResultReceivingConfiguration, DeviceResultCommunication,
                            DeviceResultCommunication, DeviceResultCommunication,
                            DeviceResultStartingApplication};
    for (const Operation& operation : Operations) {
        for (uint8_t status = 2; status <= 6; ++status) {
            for (size_t read = 1; read <= 5; ++read) {
                SCOPED_TRACE(std::string(operation.name) + " status " + std::to_string(status) + " at read " +
                             std::to_string(read));
                FakeUsbKeyboard keyboard(0x0188);
                UsbTestKeyboard project;
                project.m_image = Pattern(129);
                project.m_neededLength = 129;
                const Bytes before(read - 1, HidStatusDone);
                keyboard.m_backend.QueueStatuses(before);
                if (status == HidStatusBusy) {
                    keyboard.m_backend.SetDefaultStatus(HidStatusBusy); // never clears
                } else {
                    keyboard.m_backend.QueueStatuses({status});
                }
                const int result = operation.download
                                       ? DownloadUsbSequences(project, nullptr, keyboard.m_access)
                                       : ProgramUsbKeyboard(project, nullptr, keyboard.m_access);
                EXPECT_EQ(result, expected[read - 1]);
                const bool partlyWritten = !operation.download && read == 4;
                EXPECT_EQ(project.GetErrorText(),
                          LoadText(IDS_ZQ_ERROR_FAILED + status - 2) + (partlyWritten ? PartlyWritten : ""));
                EXPECT_LT(keyboard.m_backend.Reports().size(), 60u);
            }
        }
    }
}

TEST_F(UsbProgrammingTest, DownloadReadsTheAreaBehindTheHeaderInChunksAndParsesIt)
{
    FakeUsbKeyboard keyboard(0x0188);
    const Bytes image = Pattern(129);
    std::copy(image.begin(), image.end(), keyboard.m_backend.Memory().begin() + 0x108);
    m_keyboard.m_neededLength = 129;

    EXPECT_EQ(DownloadUsbSequences(m_keyboard, &m_progress, keyboard.m_access), DeviceResultOk);

    std::vector<ExpectedReport> expected = OpeningReports();
    expected.insert(expected.end(), {
                                        {true, {0x02, 0x02, 0x08, 0x01, 0x80, 0, 0, 0}},
                                        {false, StatusRequest},
                                        {false, DataRequest},
                                        {true, {0x02, 0x02, 0x88, 0x01, 0x01, 0, 0, 0}},
                                        {false, StatusRequest},
                                        {false, DataRequest},
                                        {true, StartApplicationCommand},
                                        {false, StatusRequest},
                                    });
    EXPECT_EQ(Exchanged(keyboard.m_backend), expected);
    EXPECT_EQ(m_keyboard.m_checks, (std::vector<UsbTestKeyboard::ParseCall>{{false, 129}, {true, 129}}));
    EXPECT_EQ(m_keyboard.m_parsed, image);
    EXPECT_EQ(m_progress.m_calls, (ProgressCalls{{0, 129}, {128, 129}, {129, 129}, {0, 0}}));
}

TEST_F(UsbProgrammingTest, DownloadNeverReadsMoreThanItsBufferHolds)
{
    // 0xFF00 bytes reported behind an 8-byte header: only 4096 are read.
    FakeUsbKeyboard large(0xFFFF);
    EXPECT_EQ(DownloadUsbSequences(m_keyboard, nullptr, large.m_access), DeviceResultOk);
    EXPECT_EQ(m_keyboard.m_parsed.size(), 4096u);
    EXPECT_EQ(CountSetReports(large.m_backend, kCommandReportId, HidCommandRequestRead), 1u + 32u);
    const auto& reports = large.m_backend.Reports();
    EXPECT_EQ(reports[reports.size() - 5].bytes, (Bytes{0x02, 0x02, 0x88, 0x10, 0x80, 0, 0, 0}));

    // A header that fills the area leaves no room: the family refuses before anything is read.
    FakeUsbKeyboard small(0x0163);
    small.SetMemoryMap(0x0163, 100);
    m_keyboard.m_checks.clear();
    EXPECT_EQ(DownloadUsbSequences(m_keyboard, nullptr, small.m_access), DeviceResultVersionNotSupported);
    EXPECT_EQ(m_keyboard.m_checks, (std::vector<UsbTestKeyboard::ParseCall>{{false, 0}}));
    EXPECT_EQ(CountSetReports(small.m_backend, kCommandReportId, HidCommandRequestRead), 1u);
}

TEST_F(UsbProgrammingTest, AHeaderTooShortForTheVersionOrLongerThanTheAreaIsABadConfiguration)
{
    // The area 0x0100..0x0163 holds 100 bytes; a header of H bytes puts the image at 0x0100 + H.
    for (const uint8_t headerLength : {0, 1, 2, 3, 101, 255}) {
        SCOPED_TRACE(static_cast<int>(headerLength));
        FakeUsbKeyboard keyboard(0x0163);
        keyboard.SetMemoryMap(0x0163, headerLength);
        const Bytes before = keyboard.m_backend.Memory();
        m_keyboard.m_image = Pattern(4);
        m_progress.m_calls.clear();
        EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &m_progress, keyboard.m_access),
                  DeviceResultReceivingConfiguration);
        EXPECT_EQ(CountSetReports(keyboard.m_backend, kDataReportId), 0u);
        EXPECT_EQ(CountSetReports(keyboard.m_backend, kCommandReportId, HidCommandConfirmWrite), 0u);
        EXPECT_EQ(keyboard.m_backend.Memory(), before) << "the version bytes stay";
        EXPECT_EQ(keyboard.m_backend.ApplicationStarts(), 1u);
        EXPECT_EQ(m_progress.m_calls, (ProgressCalls{{0, 0}}));

        m_keyboard.m_checks.clear();
        EXPECT_EQ(DownloadUsbSequences(m_keyboard, nullptr, keyboard.m_access),
                  DeviceResultReceivingConfiguration);
        EXPECT_TRUE(m_keyboard.m_checks.empty());
        EXPECT_EQ(CountSetReports(keyboard.m_backend, kCommandReportId, HidCommandRequestRead), 2u)
            << "the header byte of each operation only";
    }
    // The shortest header that holds the version is accepted.
    FakeUsbKeyboard shortest(0x0163);
    shortest.SetMemoryMap(0x0163, 4);
    m_keyboard.m_image = Pattern(4);
    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, nullptr, shortest.m_access), DeviceResultOk);
    EXPECT_EQ(Bytes(shortest.m_backend.Memory().begin() + 0x104, shortest.m_backend.Memory().begin() + 0x108),
              m_keyboard.m_image);
}

TEST_F(UsbProgrammingTest, HeaderReadAsksForOneChunkAtMostAndNeverForNothing)
{
    struct Case
    {
        uint16_t endAddress;
        uint8_t requested;
        uint8_t count; // in the RequestRead command
    };
    const Case cases[] = {
        {0x08FF, 0, 1}, // the header length only
        {0x08FF, 128, 128},
        {0x0104, 128, 5}, // a 5-byte area
        {0x0000, 128, 1}, // no memory: still a valid request
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(static_cast<int>(test.requested));
        FakeUsbKeyboard keyboard(test.endAddress);
        HidChannel channel(keyboard.m_backend);
        Bytes buffer(128, 0xAA);
        uint8_t length = test.requested;
        EXPECT_EQ(ReadUsbDeviceHeader(m_keyboard, channel, &length, buffer.data()), DeviceResultOk);
        EXPECT_EQ(length, FakeUsbKeyboard::HeaderLength);
        EXPECT_TRUE(channel.IsOpen());
        EXPECT_EQ(keyboard.m_backend.Reports()[3].bytes,
                  (Bytes{0x02, 0x02, 0x00, 0x01, test.count, 0, 0, 0}));
        const size_t copied = test.requested == 0 ? 0 : test.count;
        for (size_t i = 0; i < buffer.size(); ++i) {
            const uint8_t expected = i < copied ? keyboard.m_backend.Memory()[0x100 + i] : 0xAA;
            ASSERT_EQ(buffer[i], expected) << i;
        }
    }
}

TEST_F(UsbProgrammingTest, DetectDeviceNamesTheFamilyOfAConnectedKeyboard)
{
    std::string name = "stale";
    m_keyboard.m_deviceName = "ZQ-3300";
    EXPECT_TRUE(DetectUsbDevice(m_keyboard, &name, m_access));
    EXPECT_EQ(name, "ZQ-3300");
    EXPECT_TRUE(m_backend.Reports().empty());
    EXPECT_EQ(m_backend.OpenHandleCount(), 0u);

    m_keyboard.SetProductId(0x1002);
    EXPECT_FALSE(DetectUsbDevice(m_keyboard, &name, m_access));
    EXPECT_EQ(name, "");
}

Bytes BuiltImage(UsbKeyboard& keyboard)
{
    Bytes image(4096, 0);
    size_t size = image.size();
    EXPECT_EQ(keyboard.BuildDeviceImage(image.data(), &size, 1), 0);
    image.resize(size);
    return image;
}

TEST_F(UsbProgrammingTest, FamilyProjectsComeBackFromTheKeyboardAsProgrammed)
{
    struct Case
    {
        const char* name;
        std::unique_ptr<UsbKeyboardCommon> programmed;
        std::unique_ptr<UsbKeyboardCommon> downloaded;
        size_t reports; // 6 opening, 3 per chunk of 128 bytes, 2 to start the application
    };
    Case cases[] = {
        {"ZQ-2200", std::make_unique<Zq2200Keyboard>(3), std::make_unique<Zq2200Keyboard>(1), 6 + 3 * 17 + 2},
        {"ZQ-3300 double", std::make_unique<Zq3300Keyboard>(true, 2),
         std::make_unique<Zq3300Keyboard>(false, 1), 6 + 3 * 16 + 2},
        {"ZQ-3300 single", std::make_unique<Zq3300Keyboard>(false, 1),
         std::make_unique<Zq3300Keyboard>(true, 1), 6 + 3 * 15 + 2},
    };
    for (Case& test : cases) {
        SCOPED_TRACE(test.name);
        FakeUsbKeyboard keyboard(0x10FF);
        keyboard.m_backend.AddInterface({"/dev/hidraw1", kZqUsbVendorId, Zq3300Keyboard::kProductId, 137,
                                         HidInterfaceKind::Hid, "ZQ-3300"});
        ApplyVendorId(*test.programmed, kZqUsbVendorId);
        ApplyVendorId(*test.downloaded, kZqUsbVendorId);
        ASSERT_TRUE(test.programmed->SetKeyTexts("Enter", "K0x28", 1, 1, 1));
        const uint8_t lastLayout = test.programmed->GetLayoutCount();
        ASSERT_TRUE(test.programmed->SetKeyTexts("Ab", "M1,S+,K0x04,K0x05", 2, 3, lastLayout));

        EXPECT_EQ(ProgramUsbKeyboard(*test.programmed, nullptr, keyboard.m_access), DeviceResultOk);
        EXPECT_EQ(keyboard.m_backend.Reports().size(), test.reports);
        // Verifying adds a read of three reports for each chunk written, and nothing else.
        keyboard.m_backend.ClearReports();
        test.programmed->SetVerifyAfterProgramming(true);
        EXPECT_EQ(ProgramUsbKeyboard(*test.programmed, nullptr, keyboard.m_access), DeviceResultOk);
        EXPECT_EQ(keyboard.m_backend.Reports().size(), test.reports + (test.reports - 8));
        EXPECT_EQ(DownloadUsbSequences(*test.downloaded, nullptr, keyboard.m_access), DeviceResultOk);
        // Names stay in the project file; everything the image holds comes back.
        EXPECT_EQ(test.downloaded->GetLayoutCount(), lastLayout);
        EXPECT_EQ(BuiltImage(*test.downloaded), BuiltImage(*test.programmed));
    }
}

} // namespace

namespace {

// Asks for a stop once the first unit of work is reported, as a signal arriving mid-transfer would.
struct StopAfterFirstUnit : ProgressSink
{
    void Progress(uint32_t done, uint32_t /*total*/) override
    {
        if (done > 0) {
            RequestDeviceStop();
        }
    }
};

TEST_F(UsbProgrammingTest, AStopEndsAtTheNextChunkAndStillStartsTheApplication)
{
    m_keyboard.m_image = Pattern(129);
    StopAfterFirstUnit stopper;
    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, &stopper, m_access), DeviceResultInterrupted);
    ClearDeviceStopRequest();
    EXPECT_EQ(m_keyboard.GetErrorText(), PartlyWritten.substr(2));

    std::vector<ExpectedReport> expected = OpeningAndWriteOf129Bytes();
    expected.resize(expected.size() - 3); // the second chunk never goes
    expected.insert(expected.end(), {{true, StartApplicationCommand}, {false, StatusRequest}});
    EXPECT_EQ(Exchanged(m_backend), expected);
    EXPECT_EQ(m_backend.OpenHandleCount(), 0u);
    EXPECT_EQ(ProgramUsbKeyboard(m_keyboard, nullptr, m_access), DeviceResultOk) << "the next one runs again";
}

} // namespace
