#include "device/LegacyProgramming.h"

#include "device/DeviceBackends.h"
#include "device/DeviceResult.h"
#include "device/DeviceStop.h"
#include "device/LegacyDriverBackend.h"
#include "device/MessagePump.h"
#include "device/PacedSleep.h"
#include "device/ProgressSink.h"
#include "files/LegacyLayoutFile.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/LegacyKeyboard.h"

#include <array>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

constexpr uint8_t kHighestKeyboardVersion = 2;

constexpr std::array<LegacyImageLayout, 4> kImageLayouts = {{
    {56, 0, 56, 1, 450, 448, 2},
    {112, 0, 112, 1, 450, 448, 2},
    {57, 1, 56, 2, 1014, 1008, 6},
    {113, 2, 112, 2, 2022, 2016, 6},
}};

// The name of the keyboard a driver version stands for; empty beyond the known ones.
std::string KeyboardVersionName(uint8_t version)
{
    switch (version) {
    case 0:
        return LoadText(IDS_TYPE_ZQ1100_V1);
    case 1:
        return LoadText(IDS_TYPE_ZQ1100_V2_SINGLE);
    case 2:
        return LoadText(IDS_TYPE_ZQ1100_V2_DOUBLE);
    default:
        return {};
    }
}

void WriteTrailer(const LegacyKeyboard& keyboard, const LegacyImageLayout& layout, uint8_t* trailer)
{
    trailer[kLegacyTrailerTypematic] =
        static_cast<uint8_t>(keyboard.GetTypematicRate() + keyboard.GetTypematicDelay() * 32);
    trailer[kLegacyTrailerOptions] =
        static_cast<uint8_t>((keyboard.GetKeysType() != 0 ? kLegacyOptionTypematic : 0) |
                             (keyboard.GetKeyBeep() ? kLegacyOptionKeyBeep : 0));
    if (layout.trailerLength <= kLegacyTrailerKeyPause) {
        return;
    }
    trailer[kLegacyTrailerRfidFlags] = keyboard.GetRfidFlags();
    trailer[kLegacyTrailerPrefixCode] = keyboard.GetAffixKeyCode(true);
    trailer[kLegacyTrailerSuffixCode] = keyboard.GetAffixKeyCode(false);
    trailer[kLegacyTrailerKeyPause] = keyboard.GetKeyPause();
}

// Closes the driver on every way out of Program.
class DriverSession
{
public:
    explicit DriverSession(LegacyDriverBackend& driver) : m_driver(driver) {}
    ~DriverSession() { m_driver.Close(); }
    DriverSession(const DriverSession&) = delete;
    DriverSession& operator=(const DriverSession&) = delete;

private:
    LegacyDriverBackend& m_driver;
};

} // namespace

const LegacyImageLayout* FindLegacyImageLayout(uint8_t typeCode)
{
    for (const LegacyImageLayout& layout : kImageLayouts) {
        if (layout.typeCode == typeCode) {
            return &layout;
        }
    }
    return nullptr;
}

size_t LegacyRecordOffset(const LegacyImageLayout& layout, size_t cell, size_t recordLength)
{
    const size_t half = LegacyKeyboard::kHalfKeyCount;
    if (layout.recordCount <= half) {
        return cell * recordLength;
    }
    return (cell < half ? cell + half : cell - half) * recordLength;
}

int BuildLegacyDeviceImage(LegacyKeyboard& keyboard, uint8_t keyboardVersion, uint8_t* buffer, size_t* size,
                           std::string& errorText)
{
    if (buffer == nullptr || size == nullptr) {
        return DeviceResultVersionNotSupported;
    }
    const LegacyImageLayout* layout = FindLegacyImageLayout(keyboard.GetTypeCode(0, true));
    if (layout == nullptr) {
        return DeviceResultIncorrectVersion;
    }
    if (keyboardVersion != layout->requiredVersion) {
        errorText = LoadText(IDS_CONVERT_TO_VERSION) + KeyboardVersionName(keyboardVersion);
        return DeviceResultIncorrectVersion;
    }
    if (*size < layout->imageLength) {
        return DeviceResultVersionNotSupported;
    }
    const size_t recordLength = static_cast<size_t>(keyboard.GetCellCapacity()) + layout->recordExtra;
    // Records of a capacity the image has no room for would run into the trailer.
    if (recordLength * layout->recordCount > layout->trailerOffset) {
        return DeviceResultIncorrectVersion;
    }
    *size = layout->imageLength;
    std::memset(buffer, 0, layout->imageLength);

    // 16-code records carry the group numbers the text files use.
    AssignLegacyMergeGroups(keyboard, 0);
    for (size_t i = 0; i < layout->recordCount; ++i) {
        KeyCell* cell = nullptr;
        if (!keyboard.GetCellByIndex(static_cast<uint16_t>(i + 1), &cell) || cell == nullptr) {
            continue;
        }
        const size_t offset = LegacyRecordOffset(*layout, i, recordLength);
        if (!cell->SaveToBytes(buffer + offset, recordLength, nullptr)) {
            return DeviceResultIncorrectVersion;
        }
    }
    WriteTrailer(keyboard, *layout, buffer + layout->trailerOffset);
    return DeviceResultOk;
}

int ProgramLegacyKeyboard(LegacyKeyboard& keyboard, LegacyDriverBackend& driver, ProgressSink* progress,
                          std::string& errorText, const LegacyPacing& pacing)
{
    errorText.clear();
    if (!driver.Open()) {
        return DeviceResultNoDriver;
    }
    DriverSession session(driver);

    uint8_t version = 0;
    if (!driver.QueryVersion(version)) {
        return DeviceResultZq1100NotFound;
    }
    if (version > kHighestKeyboardVersion) {
        return DeviceResultUnsupportedVersion;
    }
    std::array<uint8_t, kLegacyImageBufferSize> image{};
    size_t size = image.size();
    const int built = BuildLegacyDeviceImage(keyboard, version, image.data(), &size, errorText);
    if (built != DeviceResultOk) {
        return built;
    }

    const auto now = pacing.now ? pacing.now : MonotonicNow;
    const auto sleepUntil = pacing.sleepUntil ? pacing.sleepUntil : SleepUntil;
    const PreciseWakeUps preciseWakeUps;
    const uint32_t total = static_cast<uint32_t>(size);
    const auto beforeWrite = [&](uint32_t i) {
        if (i % kLegacyProgressStep == 0) {
            ReportProgress(progress, i, total);
        } else {
            PumpMessages();
        }
    };
    ReportPhase(progress, ProgressPhase::Writing);
    ReportProgress(progress, 0, total);
    beforeWrite(0);
    int result = DeviceResultOk;
    uint32_t written = 0;
    for (uint32_t i = 0; i < total; ++i) {
        if (IsDeviceStopRequested()) {
            result = DeviceResultInterrupted;
        } else if (!driver.WriteByte(image[i])) {
            result = DeviceResultCommunication;
        }
        if (result != DeviceResultOk) {
            // The bytes written so far already replaced part of the old layout.
            if (i > 0) {
                errorText = LoadText(IDS_PARTLY_WRITTEN);
            }
            break;
        }
        ++written;
        // The pause counts from the write's completion; the host's own work between two bytes is
        // done inside it instead of after it.
        const std::chrono::nanoseconds deadline = now() + kLegacyBytePace;
        PumpMessages();
        if (i + 1 < total) {
            beforeWrite(i + 1);
        }
        sleepUntil(deadline);
    }
    ReportProgress(progress, 0, 0);
    // The version query and every byte that went.
    keyboard.SetExchangeCount(1 + written);
    return result;
}

int ProgramLegacyKeyboard(LegacyKeyboard& keyboard, ProgressSink* progress, std::string& errorText)
{
    std::unique_ptr<LegacyDriverBackend> driver = CreateLegacyDriverBackend();
    return ProgramLegacyKeyboard(keyboard, *driver, progress, errorText);
}
