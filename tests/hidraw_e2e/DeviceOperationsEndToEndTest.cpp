// The keyboards' device operations through the real hidraw backend, against zqsim's keyboards behind
// emulated hidraw nodes: programming, reading back, firmware upload, version query and unplugging.
#include "HidrawTestTree.h"
#include "ScriptedKeyboard.h"
#include "SimulatedKeyboard.h"

#include "device/DeviceResult.h"
#include "device/HidrawBackend.h"
#include "device/UsbFirmware.h"
#include "device/UsbProgramming.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t Zq2200ProductId = 0x1000;
constexpr uint16_t Zq3300ProductId = 0x1002;
// zqsim's memory header is 16 bytes long; the image follows it.
constexpr size_t SimHeaderLength = 16;
constexpr size_t ImageHeaderLength = 14;
constexpr uint8_t CommitFirmwareBlock = 1;
constexpr uint8_t RequestRead = 2;
constexpr uint8_t ConfirmWrite = 3;
constexpr uint8_t QueryMemoryMap = 4;
constexpr uint8_t StartApplication = 5;

Bytes Slice(const Bytes& bytes, size_t offset, size_t length)
{
    if (offset >= bytes.size()) {
        return {};
    }
    const size_t end = std::min(bytes.size(), offset + length);
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

Bytes Padded(Bytes bytes, size_t length)
{
    bytes.resize(length, 0);
    return bytes;
}

Bytes RepeatedBytes(const Bytes& unit, size_t times)
{
    Bytes bytes;
    for (size_t i = 0; i < times; ++i) {
        bytes.insert(bytes.end(), unit.begin(), unit.end());
    }
    return bytes;
}

std::string Repeated(const std::string& unit, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; ++i) {
        text += unit;
    }
    return text;
}

// The command codes of a programming or reading back: memory map and header byte, the command of
// each chunk, then the start of the application.
Bytes TransferCommands(size_t chunks, const Bytes& perChunk)
{
    Bytes commands = {QueryMemoryMap, RequestRead};
    const Bytes body = RepeatedBytes(perChunk, chunks);
    commands.insert(commands.end(), body.begin(), body.end());
    commands.push_back(StartApplication);
    return commands;
}

Bytes BuiltImage(UsbKeyboard& keyboard)
{
    Bytes image(UsbMemory::kImageBufferSize, 0);
    size_t size = image.size();
    EXPECT_EQ(keyboard.BuildDeviceImage(image.data(), &size, 1), 0);
    image.resize(size);
    return image;
}

// Names stay in the project file and never reach the keyboard, so keys keep theirs.
bool SetCodes(Keyboard& keyboard, const std::string& codes, uint16_t column, uint16_t row, uint8_t layout)
{
    KeyCell* cell = nullptr;
    return keyboard.GetCell(column, row, layout, &cell) &&
           keyboard.SetKeyTexts(cell->GetName(), codes, column, row, layout);
}

// Three layouts with a double and a quad key, a modifier, a layout switch key, a key full of codes,
// and every option away from its default.
void FillZq2200(Zq2200Keyboard& keyboard)
{
    ASSERT_TRUE(SetCodes(keyboard, "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, 1));
    ASSERT_TRUE(SetCodes(keyboard, "M1,S-,K0x14,K0x15", 1, 3, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 3, 0x1A, 1));
    ASSERT_TRUE(SetCodes(keyboard, "M2,K0xE1", 5, 1, 2));
    ASSERT_TRUE(SetCodes(keyboard, "L2,S-", 4, 8, 1));
    ASSERT_TRUE(SetCodes(keyboard,
                         "M1,S+,K0x1E,K0x1F,K0x20,K0x21,K0x22,K0x23,K0x24,K0x25,K0x26,K0x27,K0x04,"
                         "K0x05,K0x06,K0x07,K0x08,K0x09",
                         5, 8, 3));
    ASSERT_TRUE(keyboard.SetKeysType(1));
    ASSERT_TRUE(keyboard.SetRfidNumericOnly(false));
    ASSERT_TRUE(keyboard.SetRfidDigits(5));
    ASSERT_TRUE(keyboard.SetTypematicRate(20));
    ASSERT_TRUE(keyboard.SetTypematicDelay(1));
    ASSERT_TRUE(keyboard.SetKeyPause(200));
    ASSERT_TRUE(keyboard.GetAffixCell(true).ParseCodesText("0xE104"));
    ASSERT_TRUE(keyboard.GetAffixCell(false).ParseCodesText("0x0028"));
}

// A double keyboard, two layouts a side.
void FillZq3300(Zq3300Keyboard& keyboard)
{
    ASSERT_TRUE(SetCodes(keyboard, "M1,S+,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeBelow, 1));
    ASSERT_TRUE(SetCodes(keyboard, "L2,S-", 2, 1, 1));
    ASSERT_TRUE(SetCodes(keyboard, "M1,S+,K0x05,K0x06", 6, 2, 3));
    ASSERT_TRUE(SetCodes(keyboard, "M2,K0xE0", 8, 7, 4));
    ASSERT_TRUE(keyboard.SetRfidDigits(13));
    ASSERT_TRUE(keyboard.SetTypematicRate(31));
    ASSERT_TRUE(keyboard.SetTypematicDelay(3));
    ASSERT_TRUE(keyboard.SetKeyPause(50));
    ASSERT_TRUE(keyboard.GetAffixCell(false).ParseCodesText("0xE228"));
}

// Two keyboards plugged in at once, each with its typing interface before its programming
// interface, and a mouse between them.
class DeviceOperationsEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string reason;
        ASSERT_TRUE(m_zq2200.Load(reason)) << reason;
        ASSERT_TRUE(m_zq3300.Load(reason)) << reason;
        ASSERT_TRUE(m_tree.Create(reason)) << reason;
        ASSERT_TRUE(m_tree.AddNode("hidraw0", kZqUsbVendorId, Zq2200ProductId, "Tavrin ZQ-2200",
                                   HidrawDescriptors::Typing, m_typing2200));
        ASSERT_TRUE(m_tree.AddNode("hidraw1", kZqUsbVendorId, Zq2200ProductId, "Tavrin ZQ-2200",
                                   HidrawDescriptors::Vendor, m_zq2200));
        ASSERT_TRUE(m_tree.AddNode("hidraw2", 0x046D, 0xC077, "USB Optical Mouse", HidrawDescriptors::Mouse,
                                   m_mouse));
        ASSERT_TRUE(m_tree.AddNode("hidraw3", kZqUsbVendorId, Zq3300ProductId, "Tavrin ZQ-3300",
                                   HidrawDescriptors::Typing, m_typing3300));
        ASSERT_TRUE(m_tree.AddNode("hidraw4", kZqUsbVendorId, Zq3300ProductId, "Tavrin ZQ-3300",
                                   HidrawDescriptors::Vendor, m_zq3300));
        if (!m_tree.Mount(reason)) {
            GTEST_SKIP() << "no emulated hidraw nodes: " << reason;
        }
        m_backend = std::make_unique<HidrawBackend>(m_tree.SysfsRoot(), m_tree.DeviceFolder());
        m_access.backend = m_backend.get();
    }

    // Nothing may reach the interfaces that are not a keyboard's programming interface.
    void ExpectOnlyProgrammingInterfacesUsed() const
    {
        EXPECT_TRUE(m_typing2200.Received().empty());
        EXPECT_TRUE(m_typing3300.Received().empty());
        EXPECT_TRUE(m_mouse.Received().empty());
    }

    std::string WriteFile(const std::string& name, const std::string& text) const
    {
        std::string path = m_tree.FilePath(name);
        std::ofstream file(path, std::ios::binary);
        file << text;
        file.close();
        EXPECT_TRUE(file) << path;
        return path;
    }

    // The responders outlive the tree, the tree outlives the backend.
    ScriptedKeyboard m_typing2200;
    ScriptedKeyboard m_typing3300;
    ScriptedKeyboard m_mouse;
    SimulatedKeyboard m_zq2200{"zq2200", {3, 0, 12}};
    SimulatedKeyboard m_zq3300{"zq3300", {2, 10, 7}};
    HidrawTestTree m_tree;
    std::unique_ptr<HidrawBackend> m_backend;
    HidAccess m_access;
};

TEST_F(DeviceOperationsEndToEndTest, ProjectsAreProgrammedBehindTheHeaderAndDownloadAsTheyWere)
{
    struct Case
    {
        const char* name;
        std::unique_ptr<UsbKeyboard> programmed;
        std::unique_ptr<UsbKeyboard> downloaded; // another variant, which the image must replace
        std::function<void()> fill;
        SimulatedKeyboard& keyboard;
        SimulatedKeyboard& other;
        Bytes memoryHeader;
        Bytes imageHeader;
        size_t imageLength;
    };
    auto zq2200 = std::make_unique<Zq2200Keyboard>(3);
    auto zq3300 = std::make_unique<Zq3300Keyboard>(true, 2);
    Zq2200Keyboard& zq2200Project = *zq2200;
    Zq3300Keyboard& zq3300Project = *zq3300;
    Case cases[] = {
        {"ZQ-2200",
         std::move(zq2200),
         std::make_unique<Zq2200Keyboard>(1),
         [&] { FillZq2200(zq2200Project); },
         m_zq2200,
         m_zq3300,
         Padded({16, 3, 0, 12}, SimHeaderLength),
         // typematic keys; delay, rate, digits; prefix; suffix; pause; three layouts
         {0x01, 1, 20, 5, 0xE1, 0x04, 0x00, 0x28, 200, 3, 0, 0, 0, 0},
         14 + 120 * 17},
        {"ZQ-3300",
         std::move(zq3300),
         std::make_unique<Zq3300Keyboard>(false, 1),
         [&] { FillZq3300(zq3300Project); },
         m_zq3300,
         m_zq2200,
         Padded({16, 2, 10, 7}, SimHeaderLength),
         // digits only; delay, rate, digits; no prefix; suffix; pause; double, two layouts a side
         {0x80, 3, 31, 13, 0x00, 0x00, 0xE2, 0x28, 50, 0x82, 0, 0, 0, 0},
         14 + 224 * 9},
    };
    for (Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string untouched = test.programmed->GetContentSignature();
        ASSERT_NO_FATAL_FAILURE(test.fill());
        ASSERT_NE(test.programmed->GetContentSignature(), untouched);
        const Bytes image = BuiltImage(*test.programmed);
        EXPECT_EQ(image.size(), test.imageLength);
        const size_t chunks = (image.size() + UsbMemory::kChunkSize - 1) / UsbMemory::kChunkSize;

        const Bytes otherBefore = test.other.Area();
        const Bytes otherCommands = test.other.Commands();
        ASSERT_EQ(ProgramUsbKeyboard(*test.programmed, nullptr, m_access), DeviceResultOk);
        EXPECT_EQ(test.programmed->GetErrorText(), "");

        const Bytes area = test.keyboard.Area();
        EXPECT_EQ(Slice(area, 0, SimHeaderLength), test.memoryHeader);
        EXPECT_EQ(Slice(area, SimHeaderLength, ImageHeaderLength), test.imageHeader);
        EXPECT_EQ(Slice(area, SimHeaderLength, image.size()), image);
        EXPECT_EQ(Slice(area, SimHeaderLength + image.size(), area.size()),
                  Bytes(area.size() - SimHeaderLength - image.size(), 0));
        EXPECT_EQ(test.keyboard.Commands(), TransferCommands(chunks, {ConfirmWrite}));
        EXPECT_EQ(test.other.Area(), otherBefore);
        EXPECT_EQ(test.other.Commands(), otherCommands);

        ASSERT_EQ(DownloadUsbSequences(*test.downloaded, nullptr, m_access), DeviceResultOk);
        EXPECT_EQ(test.downloaded->GetErrorText(), "");
        EXPECT_EQ(test.downloaded->GetLayoutCount(), test.programmed->GetLayoutCount());
        EXPECT_EQ(test.downloaded->GetContentSignature(), test.programmed->GetContentSignature());
        Bytes expected = TransferCommands(chunks, {ConfirmWrite});
        // Reading back takes the whole area behind the header, 4080 bytes, whatever the image's length.
        const Bytes read = TransferCommands(32, {RequestRead});
        expected.insert(expected.end(), read.begin(), read.end());
        EXPECT_EQ(test.keyboard.Commands(), expected);
        EXPECT_EQ(test.other.Commands(), otherCommands);
    }
    // The ZQ-2200 record of key (1, 1): typematic key, extends right, code 0x04; of the quad key
    // (1, 3): extends down and right, two codes.
    const Bytes area = m_zq2200.Area();
    const size_t records = SimHeaderLength + ImageHeaderLength;
    EXPECT_EQ(Slice(area, records, 17), Padded({0x11, 0x04}, 17));
    EXPECT_EQ(Slice(area, records + 10 * 17, 17), Padded({0x18, 0x14, 0x15}, 17));
    EXPECT_EQ(Slice(area, records + 119 * 17, 17),
              (Bytes{0x01, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x04, 0x05, 0x06, 0x07,
                     0x08, 0x09}));
    ExpectOnlyProgrammingInterfacesUsed();
}

TEST_F(DeviceOperationsEndToEndTest, FirmwareBlocksReachTheKeyboardByteForByte)
{
    // Three blocks: upper and lower case digits, and one whose first and last bytes differ from the rest.
    const std::string text =
        Repeated("DEADbeef", 34) + Repeated("0123456789abcdef", 17) + "7F" + Repeated("00", 134) + "80";
    ASSERT_EQ(text.size(), 3 * UsbFirmware::kBlockTextLength);
    const std::string path = WriteFile("update.enc", text);
    Zq3300Keyboard project(false, 1);

    ASSERT_EQ(UploadUsbFirmware(project, path, nullptr, m_access), DeviceResultOk);

    Bytes expected = RepeatedBytes({0xDE, 0xAD, 0xBE, 0xEF}, 34);
    const Bytes second = RepeatedBytes({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}, 17);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.push_back(0x7F);
    expected.insert(expected.end(), 134, 0x00);
    expected.push_back(0x80);
    EXPECT_EQ(m_zq3300.Firmware(), expected);
    EXPECT_EQ(m_zq3300.Commands(), (Bytes{CommitFirmwareBlock, CommitFirmwareBlock, CommitFirmwareBlock}));
    EXPECT_EQ(project.GetErrorText(), "");
    EXPECT_TRUE(m_zq2200.Firmware().empty());
    EXPECT_TRUE(m_zq2200.Commands().empty());
    ExpectOnlyProgrammingInterfacesUsed();
}

TEST_F(DeviceOperationsEndToEndTest, VersionQueryShowsTheVersionTheKeyboardReports)
{
    Zq2200Keyboard zq2200(1);
    Zq3300Keyboard zq3300(true, 1);
    std::string text;
    ASSERT_EQ(GetUsbFirmwareVersion(zq2200, nullptr, &text, m_access), DeviceResultOk);
    EXPECT_EQ(text, "ZQ-2200 v 3.0.12");
    ASSERT_EQ(GetUsbFirmwareVersion(zq3300, nullptr, &text, m_access), DeviceResultOk);
    EXPECT_EQ(text, "ZQ-3300 v 2.10.7");
    for (SimulatedKeyboard* keyboard : {&m_zq2200, &m_zq3300}) {
        EXPECT_EQ(keyboard->Commands(), (Bytes{QueryMemoryMap, RequestRead, StartApplication}));
    }
    ExpectOnlyProgrammingInterfacesUsed();
}

TEST_F(DeviceOperationsEndToEndTest, KeyboardVanishingMidProgrammingIsNotConnected)
{
    Zq2200Keyboard project(3);
    ASSERT_NO_FATAL_FAILURE(FillZq2200(project));
    const Bytes image = BuiltImage(project);
    // Memory map, header byte, first chunk's data and write; the second chunk's write finds it gone.
    m_tree.UnplugAtSetFeature("hidraw1", 6);

    const int result = ProgramUsbKeyboard(project, nullptr, m_access);
    const Keyboard& keyboard = project;
    EXPECT_EQ(result, DeviceResultCommunication);
    EXPECT_EQ(GetResultMessage(result), "An error occured during communication.");
    EXPECT_EQ(FormatDeviceMessage(result, keyboard.GetErrorText()),
              "An error occured during communication.\r\n\r\nUSB Error: The device is not connected.\r\n"
              "The keyboard now holds part of the new layout; programming it again puts it right.");
    // The first chunk stays written, nothing after it.
    const Bytes area = m_zq2200.Area();
    EXPECT_EQ(Slice(area, SimHeaderLength, UsbMemory::kChunkSize), Slice(image, 0, UsbMemory::kChunkSize));
    const size_t rest = SimHeaderLength + UsbMemory::kChunkSize;
    EXPECT_EQ(Slice(area, rest, area.size()), Bytes(area.size() - rest, 0));
    EXPECT_EQ(m_zq2200.Commands(), (Bytes{QueryMemoryMap, RequestRead, ConfirmWrite}));

    // Gone for the next operation too, which no longer finds it; the other keyboard still answers.
    EXPECT_EQ(ProgramUsbKeyboard(project, nullptr, m_access), DeviceResultNoDevice);
    EXPECT_EQ(keyboard.GetErrorText(), "");
    Zq3300Keyboard other(false, 1);
    std::string text;
    EXPECT_EQ(GetUsbFirmwareVersion(other, nullptr, &text, m_access), DeviceResultOk);
    EXPECT_EQ(text, "ZQ-3300 v 2.10.7");
    ExpectOnlyProgrammingInterfacesUsed();
}

} // namespace
