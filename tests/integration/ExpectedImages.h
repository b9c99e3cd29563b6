// Device images laid out by hand from the image layouts, for byte comparison.
#pragma once

#include "ToolTestSupport.h"

#include <initializer_list>

inline void Append(Bytes& image, std::initializer_list<uint8_t> bytes, size_t padTo = 0)
{
    image.insert(image.end(), bytes);
    if (padTo > bytes.size()) {
        image.insert(image.end(), padTo - bytes.size(), 0);
    }
}

inline void AppendRepeated(Bytes& image, size_t count, std::initializer_list<uint8_t> record, size_t length)
{
    for (size_t i = 0; i < count; ++i) {
        Append(image, record, length);
    }
}

// Header of a new USB project: numeric-only RFID (0x80), delay 2, rate 11, 9 digits, empty
// prefix and suffix, key pause 3, then the layout count or variant code, then 4 zero bytes.
inline void AppendDefaultUsbHeader(Bytes& image, uint8_t layoutsOrVariant)
{
    Append(image, {0x80, 2, 11, 9, 0, 0, 0, 0, 3, layoutsOrVariant, 0, 0, 0, 0});
}

// ZQ-2200 (one layout), new: 40 empty simple keys (flag 0x01), 80 absent records; 2054 bytes.
inline Bytes EmptyZq2200OneLayoutImage()
{
    Bytes image;
    AppendDefaultUsbHeader(image, 1);
    AppendRepeated(image, 40, {0x01}, 17);
    AppendRepeated(image, 80, {}, 17);
    return image;
}

// ZQ-3300 single (one layer), new: variant code 1, 56 empty simple keys of 112 records; 1918 bytes.
inline Bytes EmptyZq3300SingleImage()
{
    Bytes image;
    AppendDefaultUsbHeader(image, 1);
    AppendRepeated(image, 56, {0x01}, 17);
    AppendRepeated(image, 56, {}, 17);
    return image;
}

// ZQ-1100 v1 single, new: 56 records of 8 bytes, simple key flag 0x02 in the 7-field form;
// trailer rate 11 + delay 2 * 32, options 0; 450 bytes.
inline Bytes EmptyZq1100V1SingleImage()
{
    Bytes image;
    AppendRepeated(image, 56, {0x02}, 8);
    Append(image, {75, 0});
    return image;
}

// ZQ-1100 v2 double, new: 112 records of 18 bytes (flags 0x0A: simple key, mode 2; group 0);
// trailer typematic, options, RFID byte 9 * 16 + 4, prefix, suffix, pause 3; 2022 bytes.
inline Bytes EmptyZq1100V2DoubleImage()
{
    Bytes image;
    AppendRepeated(image, 112, {0x0A}, 18);
    Append(image, {75, 0, 0x94, 0, 0, 3});
    return image;
}

// A ZQ-2200 project with two layouts and some programming, and its image.
inline const char* const kProgrammedZq2200Project = "ZQ-2200.v1\r\n"
                                                    "RFID=5,T,P=7,R=20,D=1,KP0xE104,KS0x0028,LC2\r\n"
                                                    "1:M1,S+,K0x04,K0x05\r\n"
                                                    "2:G2,M1,S-,K0x06\r\n"
                                                    "7:M2,K0xE1\r\n"
                                                    "41:M1,S+,K0x1E\r\n";

inline Bytes ProgrammedZq2200Image()
{
    Bytes image;
    // Typematic (0x01), delay 1, rate 20, 5 digits, prefix Left Shift + A, suffix Enter, pause 7, 2 layouts.
    Append(image, {0x01, 1, 20, 5, 0xE1, 0x04, 0x00, 0x28, 7, 2, 0, 0, 0, 0});
    Append(image, {0x01, 0x04, 0x05}, 17); // 1: simple key A, B
    Append(image, {0x10, 0x06}, 17);       // 2: double key to the right, not simple, C
    Append(image, {}, 17);                 // 3: covered by key 2
    AppendRepeated(image, 3, {0x01}, 17);  // 4 to 6
    Append(image, {0x02, 0xE1}, 17);       // 7: modifier key Left Shift
    AppendRepeated(image, 33, {0x01}, 17); // 8 to 40
    Append(image, {0x01, 0x1E}, 17);       // 41: layout 2, key 1
    AppendRepeated(image, 39, {0x01}, 17); // 42 to 80
    AppendRepeated(image, 40, {}, 17);     // 81 to 120: no third layout
    return image;
}
