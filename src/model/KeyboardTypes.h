// The keyboard type ids of the catalogue. The settings, zqtool's command line and the start dialog
// keep these numbers, so they never change.
#pragma once

#include <cstdint>

constexpr uint8_t kTypeZq3300DoubleOne = 0;
constexpr uint8_t kTypeZq3300DoubleTwo = 1;
constexpr uint8_t kTypeZq3300SingleTwo = 2;
constexpr uint8_t kTypeZq3300SingleOne = 3;
constexpr uint8_t kTypeZq2200Three = 4;
constexpr uint8_t kTypeZq2200Two = 5;
constexpr uint8_t kTypeZq2200One = 6;
constexpr uint8_t kTypeZq1100V1Single = 7;
constexpr uint8_t kTypeZq1100V1Double = 8;
constexpr uint8_t kTypeZq1100V2Single = 9;
constexpr uint8_t kTypeZq1100V2Double = 10;
constexpr uint8_t kKeyboardTypeCount = 11;

// Answered by file recognition and by projects that match no type.
constexpr uint8_t kNoKeyboardType = 255;
