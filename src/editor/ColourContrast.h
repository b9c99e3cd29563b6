// Legibility of text on a fill: relative luminance and contrast ratio as the web's accessibility
// guidelines define them (4.5:1 is their least for normal text).
#pragma once

#include <cstdint>

struct Rgb
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

constexpr double kLeastTextContrast = 4.5;

double RelativeLuminance(Rgb colour);
// From 1 (the same luminance) to 21 (black on white); the order of the two does not matter.
double ContrastRatio(Rgb a, Rgb b);
// The wanted ink when it reaches the least contrast on the fill, else black or white, whichever
// stands out more.
Rgb LegibleInk(Rgb wanted, Rgb fill);
