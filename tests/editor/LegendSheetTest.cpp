// Legend sheets: which keys get a slip, where slips and crop marks land on the pages, and how a
// name is fitted to its slip.
#include "editor/LegendSheet.h"

#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class LegendKeysTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_keyboard, nullptr);
        ASSERT_TRUE(m_keyboard->SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(3, 1), 1));
        ASSERT_TRUE(m_keyboard->SetKeyTexts("Total", "M1,S+,K0x28", MakeGridPoint(4, 5), 1));
        ASSERT_TRUE(
            m_keyboard->ChangeShape(MakeGridPoint(4, 5), ShapeBelow | ShapeRight | ShapeRightBelow, 1));
        ASSERT_TRUE(m_keyboard->SetKeyTexts("Tea", "M1,S+,K0x07", MakeGridPoint(1, 2), 1));
        ASSERT_TRUE(m_keyboard->ChangeShape(MakeGridPoint(1, 2), ShapeRight, 1));
        ASSERT_TRUE(m_keyboard->SetKeyTexts("Iced", "M1,S+,K0x68", MakeGridPoint(2, 2), 2));
    }

    std::unique_ptr<Keyboard> m_keyboard = CreateKeyboard(kTypeZq2200Three);
};

TEST_F(LegendKeysTest, MergedKeysOnceWithTheirSizeAndEmptyKeysLeftOut)
{
    const std::vector<LegendItem> items = CollectLegendItems(*m_keyboard, LegendKeys::CurrentLayout, 1, {});
    ASSERT_EQ(items.size(), 3u);
    // Key number order: the first row first.
    EXPECT_EQ(items[0].text, "Coffee");
    EXPECT_EQ(items[1].text, "Tea");
    EXPECT_EQ(items[1].widthCells, 2);
    EXPECT_EQ(items[1].heightCells, 1);
    EXPECT_EQ(items[2].text, "Total");
    EXPECT_EQ(items[2].widthCells, 2);
    EXPECT_EQ(items[2].heightCells, 2);
    EXPECT_EQ(items[2].column, 4);
    EXPECT_EQ(items[2].row, 5);
}

TEST_F(LegendKeysTest, AllLayoutsAndTheSelectedKeyFromAnyOfItsCells)
{
    const std::vector<LegendItem> all = CollectLegendItems(*m_keyboard, LegendKeys::AllLayouts, 0, {});
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[3].text, "Iced");
    EXPECT_EQ(all[3].layout, 2);

    const std::vector<LegendItem> chosen =
        CollectLegendItems(*m_keyboard, LegendKeys::Selected, 1, {MakeGridPoint(5, 6), MakeGridPoint(9, 1)});
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].text, "Total");
}

TEST(LegendGeometryTest, MultiUnitSlipsSpanOnePitchMore)
{
    const LegendGeometry geometry;
    EXPECT_DOUBLE_EQ(LegendWidth(geometry, 1), 14.0);
    EXPECT_DOUBLE_EQ(LegendWidth(geometry, 2), 33.05);
    EXPECT_DOUBLE_EQ(LegendHeight(geometry, 2), 33.05);
}

TEST(LegendGeometryTest, SetupsThatCannotHoldASlipAreRefused)
{
    EXPECT_TRUE(IsValidSheetSetup(LegendGeometry{}, A4Page()));
    EXPECT_FALSE(IsValidSheetSetup(LegendGeometry{20, 14, 19.05}, A4Page())); // wider than the pitch
    EXPECT_FALSE(IsValidSheetSetup(LegendGeometry{0, 14, 19.05}, A4Page()));
    PageSetup tiny = A4Page();
    tiny.width = 30;
    EXPECT_FALSE(IsValidSheetSetup(LegendGeometry{}, tiny));
}

std::vector<LegendItem> Singles(size_t count)
{
    std::vector<LegendItem> items(count);
    for (size_t i = 0; i < count; ++i) {
        items[i].text = "K" + std::to_string(i);
        items[i].keyNumber = static_cast<uint16_t>(i + 1);
    }
    return items;
}

bool Inside(const MmRect& rect, const PageSetup& page)
{
    return rect.x >= page.margin - 1e-9 && rect.y >= page.margin - 1e-9 &&
           rect.Right() <= page.width - page.margin + 1e-9 &&
           rect.Bottom() <= page.height - page.margin + 1e-9;
}

bool Overlap(const MmRect& a, const MmRect& b)
{
    return a.x < b.Right() - 1e-9 && b.x < a.Right() - 1e-9 && a.y < b.Bottom() - 1e-9 &&
           b.y < a.Bottom() - 1e-9;
}

TEST(PackedSheetTest, SlipsShareCutLinesFillTheRowAndStayInsideTheMargins)
{
    const PageSetup page = A4Page();
    const LegendSheet sheet = LayOutLegends(Singles(30), LegendGeometry{}, page, LegendSheetMode::Packed);
    ASSERT_EQ(sheet.pages.size(), 1u);
    const std::vector<PlacedLegend>& legends = sheet.pages[0].legends;
    ASSERT_EQ(legends.size(), 30u);
    // 190 mm inside the margins, less the marks' room: 13 slips of 14 mm to a row.
    EXPECT_DOUBLE_EQ(legends[1].rect.x, legends[0].rect.Right());
    EXPECT_DOUBLE_EQ(legends[12].rect.y, legends[0].rect.y);
    EXPECT_DOUBLE_EQ(legends[13].rect.y, legends[0].rect.Bottom());
    EXPECT_DOUBLE_EQ(legends[13].rect.x, legends[0].rect.x);
    for (const PlacedLegend& legend : legends) {
        EXPECT_TRUE(Inside(legend.rect, page));
        EXPECT_DOUBLE_EQ(legend.rect.width, 14.0);
    }
    // Marks at both ends of every cut line: 14 vertical and 4 horizontal lines of a 13 x 3 block.
    EXPECT_EQ(sheet.pages[0].cropMarks.size(), 2u * (14 + 4));
    for (const MmLine& mark : sheet.pages[0].cropMarks) {
        const MmRect dot{std::min(mark.x1, mark.x2), std::min(mark.y1, mark.y2), std::abs(mark.x2 - mark.x1),
                         std::abs(mark.y2 - mark.y1)};
        for (const PlacedLegend& legend : legends) {
            EXPECT_FALSE(Overlap(dot, legend.rect)) << "a mark on a slip";
        }
    }
}

TEST(PackedSheetTest, MultiUnitKeysInBlocksOfTheirOwnAndOverflowOnNewPages)
{
    std::vector<LegendItem> items = Singles(300);
    items[5].widthCells = 2;
    items[7].widthCells = 2;
    items[9].widthCells = 2;
    items[9].heightCells = 2;
    const PageSetup page = A4Page();
    const LegendSheet sheet = LayOutLegends(items, LegendGeometry{}, page, LegendSheetMode::Packed);
    ASSERT_GE(sheet.pages.size(), 2u);
    size_t placed = 0;
    double lowestSingle = 0;
    for (const LegendPage& sheetPage : sheet.pages) {
        for (size_t a = 0; a < sheetPage.legends.size(); ++a) {
            EXPECT_TRUE(Inside(sheetPage.legends[a].rect, page));
            for (size_t b = a + 1; b < sheetPage.legends.size(); ++b) {
                EXPECT_FALSE(Overlap(sheetPage.legends[a].rect, sheetPage.legends[b].rect));
            }
        }
        placed += sheetPage.legends.size();
    }
    EXPECT_EQ(placed, items.size());
    // The double keys come after every single one, below them on the last page.
    const LegendPage& last = sheet.pages.back();
    for (const PlacedLegend& legend : last.legends) {
        if (items[legend.item].widthCells == 1) {
            lowestSingle = std::max(lowestSingle, legend.rect.Bottom());
        }
    }
    for (const PlacedLegend& legend : last.legends) {
        if (items[legend.item].widthCells == 2) {
            EXPECT_GT(legend.rect.y, lowestSingle);
        }
    }
    // The ruler on the first page only, clear of the slips.
    ASSERT_TRUE(sheet.pages[0].ruler.has_value());
    EXPECT_DOUBLE_EQ(sheet.pages[0].ruler->width, 100.0);
    EXPECT_FALSE(sheet.pages[1].ruler.has_value());
    for (const PlacedLegend& legend : sheet.pages[0].legends) {
        EXPECT_FALSE(Overlap(legend.rect, *sheet.pages[0].ruler));
    }
}

TEST(PackedSheetTest, ASlipLargerThanThePageIsLeftOutAndSaid)
{
    std::vector<LegendItem> items = Singles(2);
    items[1].widthCells = 2;
    items[1].heightCells = 2;
    PageSetup page = A4Page();
    page.width = 60;
    const LegendSheet sheet = LayOutLegends(items, LegendGeometry{14, 14, 40}, page, LegendSheetMode::Packed);
    ASSERT_EQ(sheet.tooLarge.size(), 1u);
    EXPECT_EQ(sheet.tooLarge[0], 1u);
    EXPECT_EQ(sheet.pages[0].legends.size(), 1u);
}

TEST(KeyboardSheetTest, SlipsSitAtThePitchOfTheirKeys)
{
    std::vector<LegendItem> items = Singles(3);
    items[0].column = 1;
    items[0].row = 1;
    items[1].column = 3;
    items[1].row = 1;
    items[1].widthCells = 2;
    items[2].column = 2;
    items[2].row = 4;
    const LegendSheet sheet = LayOutLegends(items, LegendGeometry{}, A4Page(), LegendSheetMode::Keyboard);
    ASSERT_EQ(sheet.pages.size(), 1u);
    const std::vector<PlacedLegend>& legends = sheet.pages[0].legends;
    ASSERT_EQ(legends.size(), 3u);
    EXPECT_NEAR(legends[1].rect.x - legends[0].rect.x, 2 * 19.05, 1e-9);
    EXPECT_NEAR(legends[1].rect.width, 33.05, 1e-9);
    EXPECT_NEAR(legends[2].rect.x - legends[0].rect.x, 19.05, 1e-9);
    EXPECT_NEAR(legends[2].rect.y - legends[0].rect.y, 3 * 19.05, 1e-9);
    // Eight marks a slip, none reaching a neighbour's slip.
    EXPECT_EQ(sheet.pages[0].cropMarks.size(), 24u);
}

TEST(KeyboardSheetTest, AWideKeyboardGoesOnSeveralPagesAndAKeyStaysWhole)
{
    // Twenty columns of 19.05 mm are wider than A4's 190 mm; a double key at columns 9 and 10
    // must not be cut at the page's edge.
    std::vector<LegendItem> items = Singles(20);
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].column = static_cast<uint16_t>(i + 1);
    }
    items[8].widthCells = 2;
    items.erase(items.begin() + 9);
    const PageSetup page = A4Page();
    const LegendSheet sheet = LayOutLegends(items, LegendGeometry{}, page, LegendSheetMode::Keyboard);
    ASSERT_EQ(sheet.pages.size(), 3u);
    size_t placed = 0;
    for (const LegendPage& sheetPage : sheet.pages) {
        for (const PlacedLegend& legend : sheetPage.legends) {
            EXPECT_TRUE(Inside(legend.rect, page));
        }
        placed += sheetPage.legends.size();
    }
    EXPECT_EQ(placed, items.size());
}

// Every letter 0.5 mm at 10 pt, in proportion to the size; lines 1.2 times the size.
class FakeMeasure : public TextMeasure
{
public:
    double Width(const std::string& text, double points) const override
    {
        return static_cast<double>(text.size()) * 0.05 * points;
    }
    double LineHeight(double points) const override { return 1.2 * points * kMmPerPoint; }
};

TEST(LegendTextTest, AShortNameAtTheLargestSizeOnOneLine)
{
    const LegendTextFit fit = FitLegendText("Tea", 12, 12, FakeMeasure());
    EXPECT_TRUE(fit.fits);
    EXPECT_DOUBLE_EQ(fit.points, 14.0);
    EXPECT_FALSE(fit.condensed);
    EXPECT_EQ(fit.lines, std::vector<std::string>{"Tea"});
}

TEST(LegendTextTest, WrapsOnWordsAndAtTheBar)
{
    // "Iced coffee" is 11 letters: 7.7 mm at 14 pt, more than 6 mm; each word fits alone.
    const LegendTextFit words = FitLegendText("Iced coffee", 6, 12, FakeMeasure());
    EXPECT_TRUE(words.fits);
    EXPECT_EQ(words.lines, (std::vector<std::string>{"Iced", "coffee"}));
    const LegendTextFit bar = FitLegendText("A|B C", 12, 12, FakeMeasure());
    EXPECT_EQ(bar.lines, (std::vector<std::string>{"A", "B C"}));
}

TEST(LegendTextTest, ShrinksThenCondensesThenGivesUp)
{
    // 10 letters at 14 pt are 7 mm: in 5 mm they need 10 pt or less.
    const LegendTextFit smaller = FitLegendText("Cappuccino", 5, 12, FakeMeasure());
    EXPECT_TRUE(smaller.fits);
    EXPECT_DOUBLE_EQ(smaller.points, 10.0);
    EXPECT_FALSE(smaller.condensed);
    // At 6 pt they are 3 mm; condensed to 0.8, 2.4 mm fit where 3 mm do not.
    const LegendTextFit condensed = FitLegendText("Cappuccino", 2.5, 12, FakeMeasure());
    EXPECT_TRUE(condensed.fits);
    EXPECT_TRUE(condensed.condensed);
    const LegendTextFit none = FitLegendText("Cappuccino", 1.5, 12, FakeMeasure());
    EXPECT_FALSE(none.fits);
    EXPECT_DOUBLE_EQ(none.points, 6.0);
    EXPECT_GT(none.lines.size(), 1u); // cut, so that something shows
}

TEST(LegendTextTest, TooManyLinesForTheHeightShrinkToo)
{
    // Four lines at 14 pt need 23.7 mm; at 8 pt 13.5 mm; 12 mm first holds them at 7 pt.
    const LegendTextFit fit = FitLegendText("A|B|C|D", 12, 12, FakeMeasure());
    EXPECT_TRUE(fit.fits);
    EXPECT_DOUBLE_EQ(fit.points, 7.0);
}

TEST(LegendTextTest, TheFitListNamesOnlyTheLongName)
{
    std::vector<LegendItem> items = Singles(3);
    // 60 letters: 14.4 mm at 6 pt condensed, more than a single slip's 12 mm inside its padding.
    items[1].text = std::string(60, 'W');
    const std::vector<size_t> unfitting = FindUnfittingLegends(items, LegendGeometry{}, FakeMeasure());
    EXPECT_EQ(unfitting, std::vector<size_t>{1});
    // A double key's wider slip holds it.
    items[1].widthCells = 2;
    EXPECT_TRUE(FindUnfittingLegends(items, LegendGeometry{}, FakeMeasure()).empty());
}

} // namespace
