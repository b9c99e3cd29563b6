#include "device/LegacyProgramming.h"

#include "DeviceTestSupport.h"
#include "device/DeviceResult.h"
#include "device/DeviceStop.h"
#include "device/FakeLegacyDriver.h"
#include "device/MessagePump.h"
#include "device/OsError.h"
#include "device/ProgressSink.h"
#include "model/KeyCell.h"
#include "model/LegacyKeyboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string PartlyWritten =
    "The keyboard now holds part of the new layout; programming it again puts it right.";

// Counts pumps for one test and leaves no hook behind.
class PumpCounter
{
public:
    PumpCounter()
    {
        SetPumpMessagesHook([this] { ++m_count; });
    }
    ~PumpCounter() { SetPumpMessagesHook(nullptr); }
    int m_count = 0;
};

void Program(LegacyKeyboard& keyboard, uint16_t key, const std::string& codes)
{
    KeyCell* cell = nullptr;
    ASSERT_TRUE(keyboard.GetCellByIndex(key, &cell));
    ASSERT_TRUE(cell->ParseCodesText(codes)) << codes;
}

void Put(Bytes& image, size_t offset, std::initializer_list<uint8_t> bytes)
{
    ASSERT_LE(offset + bytes.size(), image.size());
    for (uint8_t b : bytes) {
        image[offset++] = b;
    }
}

Bytes Build(LegacyKeyboard& keyboard, uint8_t version, int* result = nullptr, std::string* text = nullptr)
{
    Bytes buffer(kLegacyImageBufferSize, 0xEE);
    size_t size = buffer.size();
    std::string errorText;
    const int r = BuildLegacyDeviceImage(keyboard, version, buffer.data(), &size, errorText);
    if (result != nullptr) {
        *result = r;
    }
    if (text != nullptr) {
        *text = errorText;
    }
    // Nothing past the image may change.
    EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<long>(size), buffer.end(),
                            [](uint8_t b) { return b == 0xEE; }));
    buffer.resize(r == 0 ? size : 0);
    return buffer;
}

// Every record starts as an empty key: simple key, and in 16-code records mode 2 (0x02 | 2 << 2).
Bytes EmptyRecords(size_t imageLength, size_t recordsEnd, size_t recordLength, uint8_t flag)
{
    Bytes image(imageLength, 0);
    for (size_t offset = 0; offset < recordsEnd; offset += recordLength) {
        image[offset] = flag;
    }
    return image;
}

// Options that every trailer byte shows: rate 10 + delay 1 * 32 = 0x2A, beep and typematic = 0x03.
void SetOptions(LegacyKeyboard& keyboard)
{
    ASSERT_TRUE(keyboard.SetTypematicRate(10));
    ASSERT_TRUE(keyboard.SetTypematicDelay(1));
    keyboard.SetKeyBeep(true); // answers false when it stored the value
    ASSERT_TRUE(keyboard.GetKeyBeep());
    ASSERT_TRUE(keyboard.SetKeysType(1));
}

TEST(LegacyImage, V1SingleIs450BytesOfEightByteRecordsAndShortTrailer)
{
    LegacyKeyboard keyboard(false, false, false);
    SetOptions(keyboard);
    Program(keyboard, 1, "I28; 2");                        // simple key
    Program(keyboard, 10, "I18, 28, 240, 28, 240, 18; 0"); // column 2, row 2
    Program(keyboard, 3, "I90; 0");
    ASSERT_TRUE(keyboard.ChangeShape(3, 1, ShapeRight, 1)); // keys 3 and 4

    Bytes expected = EmptyRecords(450, 448, 8, 0x02);
    Put(expected, 0, {0x02, 0x1C, 0, 0, 0, 0, 0, 0});
    Put(expected, 16, {0x01, 0x5A});
    Put(expected, 24, {0x01, 0x5A});
    Put(expected, 72, {0x00, 0x12, 0x1C, 0xF0, 0x1C, 0xF0, 0x12, 0x00});
    Put(expected, 448, {0x2A, 0x03});
    EXPECT_EQ(Build(keyboard, 0), expected);
}

TEST(LegacyImage, V1DoubleIs450BytesWithTheRightHalfFirst)
{
    LegacyKeyboard keyboard(true, true, false);
    Program(keyboard, 1, "I28; 0");
    Program(keyboard, 57, "I21, 22; 2");
    Program(keyboard, 112, "I69, 70, 71; 0");
    Program(keyboard, 60, "I41; 0");
    ASSERT_TRUE(keyboard.ChangeShape(4, 1, ShapeBelow, 2)); // keys 60 and 68

    Bytes expected = EmptyRecords(450, 448, 4, 0x02);
    Put(expected, 0, {0x02, 0x15, 0x16, 0x00});   // key 57
    Put(expected, 12, {0x01, 0x29, 0x00, 0x00});  // key 60
    Put(expected, 44, {0x01, 0x29, 0x00, 0x00});  // key 68
    Put(expected, 220, {0x00, 0x45, 0x46, 0x47}); // key 112
    Put(expected, 224, {0x00, 0x1C, 0x00, 0x00}); // key 1
    Put(expected, 448, {0x4B, 0x00});             // defaults: rate 11 + delay 2 * 32
    EXPECT_EQ(Build(keyboard, 0), expected);
}

TEST(LegacyImage, V2SingleIs1014BytesWithGroupNumbersAndLongTrailer)
{
    LegacyKeyboard keyboard(false, false, true);
    SetOptions(keyboard);
    ASSERT_TRUE(keyboard.SetAffixKeyCode(true, 0x12));
    ASSERT_TRUE(keyboard.SetAffixKeyCode(false, 0x5A));
    ASSERT_TRUE(keyboard.SetAffixExtended(true, true));
    ASSERT_TRUE(keyboard.SetKeyPause(7));
    Program(keyboard, 1, "I22; 0");
    Program(keyboard, 10, "I30, 38; 0");
    Program(keyboard, 29, "I90; 0");
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1)); // keys 1, 2: group 1
    ASSERT_TRUE(keyboard.ChangeShape(2, 2, 0x1A, 1));       // keys 10, 11, 18, 19: group 2
    ASSERT_TRUE(keyboard.ChangeShape(5, 4, ShapeBelow, 1)); // keys 29, 37: group 3
    Program(keyboard, 5, "I28, 240, 28; 6");                // simple key, mode 1
    KeyCell* single = nullptr;
    ASSERT_TRUE(keyboard.GetCellByIndex(5, &single));
    single->SetUserData(9); // a stale number must not reach the keyboard

    Bytes expected = EmptyRecords(1014, 1008, 18, 0x0A);
    Put(expected, 0, {0x01, 0x01, 0x16});              // key 1
    Put(expected, 18, {0x01, 0x01, 0x16});             // key 2
    Put(expected, 72, {0x06, 0x00, 0x1C, 0xF0, 0x1C}); // key 5
    Put(expected, 162, {0x01, 0x02, 0x1E, 0x26});      // key 10
    Put(expected, 180, {0x01, 0x02, 0x1E, 0x26});      // key 11
    Put(expected, 306, {0x01, 0x02, 0x1E, 0x26});      // key 18
    Put(expected, 324, {0x01, 0x02, 0x1E, 0x26});      // key 19
    Put(expected, 504, {0x01, 0x03, 0x5A});            // key 29
    Put(expected, 648, {0x01, 0x03, 0x5A});            // key 37
    // 9 digits * 16 + numeric 4 + prefix extended 1 = 0x95.
    Put(expected, 1008, {0x2A, 0x03, 0x95, 0x12, 0x5A, 0x07});
    EXPECT_EQ(Build(keyboard, 1), expected);
}

TEST(LegacyImage, V2DoubleIs2022BytesNumberingGroupsInKeyOrder)
{
    LegacyKeyboard keyboard(true, true, true);
    Program(keyboard, 57, "I1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16; 12");
    Program(keyboard, 55, "I33; 0");
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeBelow, 2)); // keys 57, 65: group 2
    ASSERT_TRUE(keyboard.ChangeShape(7, 7, ShapeRight, 1)); // keys 55, 56: group 1
    Program(keyboard, 1, "I28; 2");
    Program(keyboard, 112, "I77; 0");

    Bytes expected = EmptyRecords(2022, 2016, 18, 0x0A);
    Put(expected, 0, {0x0D, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});   // key 57, mode 3
    Put(expected, 144, {0x0D, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}); // key 65
    Put(expected, 990, {0x00, 0x00, 0x4D});                                                  // key 112
    Put(expected, 1008, {0x02, 0x00, 0x1C});                                                 // key 1
    Put(expected, 1980, {0x01, 0x01, 0x21});                                                 // key 55
    Put(expected, 1998, {0x01, 0x01, 0x21});                                                 // key 56
    Put(expected, 2016, {0x4B, 0x00, 0x94, 0x00, 0x00, 0x03});
    EXPECT_EQ(Build(keyboard, 2), expected);
}

TEST(LegacyImage, ImageFitsABufferOfExactlyItsLength)
{
    LegacyKeyboard keyboard(false, false, false);
    Bytes buffer(450, 0xEE);
    std::string text;
    size_t size = 449;
    EXPECT_EQ(BuildLegacyDeviceImage(keyboard, 0, buffer.data(), &size, text), 6);
    EXPECT_EQ(size, 449u);
    EXPECT_EQ(BuildLegacyDeviceImage(keyboard, 0, nullptr, &size, text), 6);
    EXPECT_EQ(BuildLegacyDeviceImage(keyboard, 0, buffer.data(), nullptr, text), 6);

    size = 450;
    EXPECT_EQ(BuildLegacyDeviceImage(keyboard, 0, buffer.data(), &size, text), 0);
    EXPECT_EQ(size, 450u);
    Bytes expected = EmptyRecords(450, 448, 8, 0x02);
    Put(expected, 448, {0x4B, 0x00});
    EXPECT_EQ(buffer, expected);
}

TEST(LegacyImage, WrongKeyboardVersionNamesTheAttachedKeyboard)
{
    const struct
    {
        bool isDouble;
        bool sixteen;
        uint8_t version;
        const char* text;
    } cases[] = {
        {true, true, 1, "Convert the project to the folowing version: ZQ-1100 v2 single (16 scans)"},
        {false, false, 2, "Convert the project to the folowing version: ZQ-1100 v2 double (16 scans)"},
        {false, true, 0, "Convert the project to the folowing version: ZQ-1100 v1 single/double (7/3 scans)"},
        {true, false, 3, "Convert the project to the folowing version: "},
    };
    for (const auto& c : cases) {
        LegacyKeyboard keyboard(c.isDouble, c.isDouble, c.sixteen);
        int result = 0;
        std::string text;
        Build(keyboard, c.version, &result, &text);
        EXPECT_EQ(result, 9) << c.text;
        EXPECT_EQ(text, c.text);
    }
}

TEST(LegacyImage, CellWhoseRecordDoesNotFitRefusesTheImage)
{
    LegacyKeyboard keyboard(true, true, false);
    KeyCell* cell = nullptr;
    ASSERT_TRUE(keyboard.GetCellByIndex(70, &cell));
    ASSERT_TRUE(cell->SetCapacity(7));
    int result = 0;
    Build(keyboard, 0, &result);
    EXPECT_EQ(result, 9);
}

// A v1 single image with key 1 programmed; its bytes are checked above.
struct ProgramFixture : ::testing::Test
{
    ProgramFixture()
    {
        Program(keyboard, 1, "I28; 2");
        image = Build(keyboard, 0);
    }
    int Run(ProgressSink* sink)
    {
        return ProgramLegacyKeyboard(keyboard, driver, sink, errorText, FakePacing());
    }

    // A clock that only the sleeps and the test move; every sleep notes how many bytes had gone.
    LegacyPacing FakePacing()
    {
        LegacyPacing pacing;
        pacing.now = [this] {
            nowCalls.push_back(now);
            return now;
        };
        pacing.sleepUntil = [this](std::chrono::nanoseconds deadline) {
            pausesAfter.push_back(driver.Written().size());
            now = std::max(now, deadline);
        };
        return pacing;
    }

    LegacyKeyboard keyboard{false, false, false};
    Bytes image;
    FakeLegacyDriver driver;
    RecordingProgress sink;
    std::string errorText = "left from before";
    std::vector<size_t> pausesAfter;
    std::chrono::nanoseconds now{1'000'000'000};
    std::vector<std::chrono::nanoseconds> nowCalls;
};

using LegacyProgram = ProgramFixture;

TEST_F(LegacyProgram, SendsTheImageByteByBytePausingAfterEach)
{
    PumpCounter pumps;
    ASSERT_EQ(image.size(), 450u);
    EXPECT_EQ(Run(&sink), 0);
    EXPECT_EQ(driver.Written(), image);
    EXPECT_EQ(errorText, "");

    std::vector<size_t> expectedPauses;
    for (size_t n = 1; n <= 450; ++n) {
        expectedPauses.push_back(n);
    }
    EXPECT_EQ(pausesAfter, expectedPauses);

    ProgressCalls expected = {{0, 450}};
    for (uint32_t done = 0; done < 450; done += 20) {
        expected.emplace_back(done, 450);
    }
    expected.emplace_back(0, 0);
    EXPECT_EQ(sink.m_calls, expected);
    EXPECT_EQ(expected.size(), 25u);
    // Start, twice per byte, end.
    EXPECT_EQ(pumps.m_count, 1 + 2 * 450 + 1);
    EXPECT_EQ(driver.OpenCount(), 1u);
    EXPECT_FALSE(driver.IsOpen());
}

TEST_F(LegacyProgram, PumpsAtTheSamePointsWithoutASink)
{
    PumpCounter pumps;
    EXPECT_EQ(Run(nullptr), 0);
    EXPECT_EQ(driver.Written(), image);
    EXPECT_EQ(pumps.m_count, 902);
}

TEST_F(LegacyProgram, EachByteFollowsThePreviousWritesCompletionByExactlyThePace)
{
    // Every pump takes the host a millisecond: that time lies inside the pause, not after it.
    SetPumpMessagesHook([this] { now += std::chrono::milliseconds(1); });
    EXPECT_EQ(Run(&sink), 0);
    SetPumpMessagesHook(nullptr);
    ASSERT_EQ(nowCalls.size(), 450u);
    for (size_t i = 1; i < nowCalls.size(); ++i) {
        ASSERT_EQ(nowCalls[i] - nowCalls[i - 1], kLegacyBytePace) << "after byte " << i;
    }

    // Host work longer than the pause is not slept on top of.
    nowCalls.clear();
    driver = FakeLegacyDriver();
    SetPumpMessagesHook([this] { now += std::chrono::milliseconds(4); });
    EXPECT_EQ(Run(nullptr), 0);
    SetPumpMessagesHook(nullptr);
    ASSERT_EQ(nowCalls.size(), 450u);
    EXPECT_EQ(nowCalls[1] - nowCalls[0], std::chrono::milliseconds(8));
}

TEST_F(LegacyProgram, FailingWriteStopsAtOnceAndCloses)
{
    driver.FailAtWrite(25, EIO);
    EXPECT_EQ(Run(&sink), 16);
    EXPECT_EQ(driver.Written(), Bytes(image.begin(), image.begin() + 24));
    EXPECT_EQ(pausesAfter.size(), 24u);
    EXPECT_EQ(sink.m_calls, (ProgressCalls{{0, 450}, {0, 450}, {20, 450}, {0, 0}}));
    EXPECT_EQ(driver.GetLastError(), kOsErrorNotFunctioning);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(driver.CloseCount(), 1u);
    EXPECT_EQ(errorText, PartlyWritten);

    FakeLegacyDriver first;
    first.FailAtWrite(1, ENODEV);
    EXPECT_EQ(ProgramLegacyKeyboard(keyboard, first, nullptr, errorText, FakePacing()), 16);
    EXPECT_TRUE(first.Written().empty());
    EXPECT_EQ(errorText, "");
}

TEST_F(LegacyProgram, FailuresBeforeTheImageSendNothing)
{
    driver.SetOpenFails(true);
    EXPECT_EQ(Run(&sink), 14);
    EXPECT_EQ(errorText, "");

    const struct
    {
        uint8_t version;
        bool fails;
        int result;
    } cases[] = {{0, true, 13}, {3, false, 10}, {255, false, 10}, {1, false, 9}, {2, false, 9}};
    for (const auto& c : cases) {
        FakeLegacyDriver scripted;
        scripted.SetVersionAnswer(c.version, c.fails);
        EXPECT_EQ(ProgramLegacyKeyboard(keyboard, scripted, &sink, errorText, FakePacing()), c.result)
            << int(c.version);
        EXPECT_EQ(scripted.OpenCount(), 1u);
        EXPECT_EQ(scripted.CloseCount(), 1u);
        EXPECT_TRUE(scripted.Written().empty());
    }
    EXPECT_EQ(errorText, "Convert the project to the folowing version: ZQ-1100 v2 double (16 scans)");
    EXPECT_TRUE(sink.m_calls.empty());
}

} // namespace

TEST_F(LegacyProgram, AStopEndsBetweenTwoBytesAndClosesTheDriver)
{
    LegacyPacing pacing = FakePacing();
    pacing.sleepUntil = [this](std::chrono::nanoseconds) {
        if (driver.Written().size() == 10) {
            RequestDeviceStop();
        }
    };
    EXPECT_EQ(ProgramLegacyKeyboard(keyboard, driver, &sink, errorText, pacing), DeviceResultInterrupted);
    ClearDeviceStopRequest();
    EXPECT_EQ(driver.Written(), Bytes(image.begin(), image.begin() + 10));
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(sink.m_calls.back(), (std::pair<uint32_t, uint32_t>{0, 0}));
    EXPECT_EQ(errorText, PartlyWritten);

    // A stop before the first byte leaves the old layout whole.
    RequestDeviceStop();
    EXPECT_EQ(ProgramLegacyKeyboard(keyboard, driver, &sink, errorText, FakePacing()),
              DeviceResultInterrupted);
    ClearDeviceStopRequest();
    EXPECT_EQ(errorText, "");
}
