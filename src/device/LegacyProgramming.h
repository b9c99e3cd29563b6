// The ZQ-1100 device image and its transfer through the legacy driver, one byte at a time.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class LegacyDriverBackend;
class LegacyKeyboard;
class ProgressSink;

// Size of the image buffer Program builds into.
constexpr size_t kLegacyImageBufferSize = 4096;
// The keyboard needs this long to take each byte.
constexpr std::chrono::milliseconds kLegacyBytePace{3};
// Progress is sent when this many more bytes have gone.
constexpr uint32_t kLegacyProgressStep = 20;

// One image form per type code.
struct LegacyImageLayout
{
    uint8_t typeCode;
    uint8_t requiredVersion; // the keyboard version the driver must answer
    uint16_t recordCount;
    uint8_t recordExtra; // record length = cell capacity + this
    uint16_t imageLength;
    uint16_t trailerOffset;
    uint8_t trailerLength;
};

// Null for a type code without an image.
const LegacyImageLayout* FindLegacyImageLayout(uint8_t typeCode);
// Offset of the record of the 0-based cell i: the right half comes first on a double keyboard.
size_t LegacyRecordOffset(const LegacyImageLayout& layout, size_t cell, size_t recordLength);

// Trailer bytes.
constexpr size_t kLegacyTrailerTypematic = 0; // rate + delay * 32
constexpr size_t kLegacyTrailerOptions = 1;
constexpr size_t kLegacyTrailerRfidFlags = 2;
constexpr size_t kLegacyTrailerPrefixCode = 3;
constexpr size_t kLegacyTrailerSuffixCode = 4;
constexpr size_t kLegacyTrailerKeyPause = 5;
constexpr uint8_t kLegacyOptionKeyBeep = 0x01;
constexpr uint8_t kLegacyOptionTypematic = 0x02;

// size: in, the room in buffer; out, the image length. A keyboard version the project does not
// fit sets errorText to the conversion hint and answers 9.
int BuildLegacyDeviceImage(LegacyKeyboard& keyboard, uint8_t keyboardVersion, uint8_t* buffer, size_t* size,
                           std::string& errorText);

// The clock the pause after each byte is measured on, and a sleep until a point of that clock.
// Empty members take the monotonic clock and a sleep that wakes at the point, as close after it as
// the system allows. Tests pass their own.
struct LegacyPacing
{
    std::function<std::chrono::nanoseconds()> now;
    std::function<void(std::chrono::nanoseconds deadline)> sleepUntil;
};

// Opens the driver, checks the keyboard version, builds the image and writes it byte by byte,
// each byte at least kLegacyBytePace after the previous write completed; the driver is closed
// again on every path. errorText is emptied first.
int ProgramLegacyKeyboard(LegacyKeyboard& keyboard, LegacyDriverBackend& driver, ProgressSink* progress,
                          std::string& errorText, const LegacyPacing& pacing = {});
// The same through the backend CreateLegacyDriverBackend chooses.
int ProgramLegacyKeyboard(LegacyKeyboard& keyboard, ProgressSink* progress, std::string& errorText);
