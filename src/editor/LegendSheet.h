// Legend sheets: the slips that go under the clear key caps, laid out on pages in millimetres, and
// the fitting of a key's name into its slip. No drawing here: the UI paints what this places.
#pragma once

#include "model/GridPoint.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Keyboard;

constexpr double kMmPerPoint = 25.4 / 72.0;

enum class LegendSheetMode : uint8_t { Packed, Keyboard };
enum class LegendKeys : uint8_t { CurrentLayout, AllLayouts, Selected };

struct LegendGeometry
{
    double insertWidth = 14.0; // a single key's slip, mm
    double insertHeight = 14.0;
    double pitch = 19.05; // from one key to the next on the keyboard, mm
};

struct PageSetup
{
    double width = 210.0; // mm
    double height = 297.0;
    double margin = 10.0; // on every side
    bool ruler = true;    // a 100 mm ruler on the first page, to check the printer's scale
};

// The paper sizes offered by name.
PageSetup A4Page();
PageSetup LetterPage();

struct MmRect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double Right() const { return x + width; }
    double Bottom() const { return y + height; }
};

struct MmLine
{
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

// One key that gets a slip.
struct LegendItem
{
    std::string text; // UTF-8; "|" starts a new line
    uint16_t keyNumber = 0;
    uint8_t layout = 1;
    uint16_t column = 1; // the key's top-left cell
    uint16_t row = 1;
    uint8_t widthCells = 1; // 1 or 2
    uint8_t heightCells = 1;
};

struct PlacedLegend
{
    size_t item = 0; // index into the items laid out
    MmRect rect;
};

struct LegendPage
{
    uint8_t layout = 0; // keyboard mode: the layout shown; packed: 0
    std::vector<PlacedLegend> legends;
    std::vector<MmLine> cropMarks;
    std::optional<MmRect> ruler; // where the 100 mm ruler goes, 100 mm wide
};

struct LegendSheet
{
    std::vector<LegendPage> pages;
    // Items larger than the page's room, left out.
    std::vector<size_t> tooLarge;
};

// Room kept at the top of every page for a caption line.
constexpr double kCaptionHeight = 6.0;
constexpr double kRulerLength = 100.0;
constexpr double kRulerHeight = 8.0;
// Crop marks start this far from the cut and run this long, outside the slip.
constexpr double kCropGap = 0.5;
constexpr double kCropLength = 2.0;
constexpr double kCropRoom = kCropGap + kCropLength;
// Text stays this far inside the slip's edges.
constexpr double kLegendPadding = 1.0;

// A slip's size: a double key's slip spans one pitch more in its long direction.
double LegendWidth(const LegendGeometry& geometry, uint8_t cells);
double LegendHeight(const LegendGeometry& geometry, uint8_t cells);

// The geometry and page are usable: positive sizes, pitch not below the insert, room left inside
// the margins for at least one slip.
bool IsValidSheetSetup(const LegendGeometry& geometry, const PageSetup& page);

// The programmed keys with a name, one item per key (a merged key once), in key number order.
// layout: the layout of CurrentLayout and Selected; selected: the cells whose keys Selected takes.
std::vector<LegendItem> CollectLegendItems(Keyboard& keyboard, LegendKeys which, uint8_t layout,
                                           const std::vector<GridPoint>& selected);

// Packed: slips of one size share their cut lines in a block, as many to a page as fit; each
// size its own block, single keys first. Keyboard: each layout at the keyboard's pitch, in as
// many pages as its width and height need.
LegendSheet LayOutLegends(const std::vector<LegendItem>& items, const LegendGeometry& geometry,
                          const PageSetup& page, LegendSheetMode mode);

// The printable area of a page below the caption.
MmRect PageContentArea(const PageSetup& page);

// Text measurement at a point size: the fit needs a font, which the UI has.
class TextMeasure
{
public:
    virtual ~TextMeasure() = default;
    // Width in mm of a UTF-8 text on one line, in the normal face.
    virtual double Width(const std::string& text, double points) const = 0;
    // Distance from one line to the next, mm.
    virtual double LineHeight(double points) const = 0;
};

struct LegendFitRules
{
    double largestPoints = 14.0;
    double smallestPoints = 6.0;
    double step = 0.5;
    // The condensed face: the normal one drawn this much narrower.
    double condensedScale = 0.8;
};

struct LegendTextFit
{
    std::vector<std::string> lines;
    double points = 0;
    bool condensed = false;
    bool fits = false; // false: even the smallest condensed size does not hold the words
};

// Words on lines, wrapped only between words and at "|", at the largest size that holds every
// word and line in the box; then the same with the condensed face. When nothing fits, the
// smallest condensed size with over-long words cut where they must be.
LegendTextFit FitLegendText(const std::string& text, double widthMm, double heightMm,
                            const TextMeasure& measure, const LegendFitRules& rules = LegendFitRules());

// The items whose text does not fit their slip at the smallest size, in item order.
std::vector<size_t> FindUnfittingLegends(const std::vector<LegendItem>& items, const LegendGeometry& geometry,
                                         const TextMeasure& measure,
                                         const LegendFitRules& rules = LegendFitRules());
