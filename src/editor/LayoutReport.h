// The layout report for a shop's files: every programmed key of every layout in readable words,
// and the keyboard's options. Texts only; the UI sets them on pages.
#pragma once

#include "editor/KeyboardPictureLayout.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class Keyboard;

struct ReportKeyRow
{
    uint16_t number = 0;
    std::string name; // UTF-8, as every text here
    std::string mode;
    std::string keyType;
    KeyShape shape = KeyShape::Single;
    std::string codes; // the codes' readable names, in order
};

struct ReportLayout
{
    uint8_t layout = 1;
    std::string name;
    std::vector<ReportKeyRow> keys;
};

// A merged key is one row, under the number of its top-left cell.
std::vector<ReportLayout> CollectReportLayouts(Keyboard& keyboard);
// The keyboard-wide options as label and value, in the configuration page's order.
std::vector<std::pair<std::string, std::string>> GetReportOptions(Keyboard& keyboard);
// The looked-up name of a shape.
std::string GetShapeName(KeyShape shape);
