#include "editor/LegendSheet.h"

#include "lang/TextHelpers.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>

PageSetup A4Page()
{
    return PageSetup{};
}

PageSetup LetterPage()
{
    PageSetup page;
    page.width = 215.9;
    page.height = 279.4;
    return page;
}

double LegendWidth(const LegendGeometry& geometry, uint8_t cells)
{
    return geometry.insertWidth + (cells > 1 ? geometry.pitch * (cells - 1) : 0.0);
}

double LegendHeight(const LegendGeometry& geometry, uint8_t cells)
{
    return geometry.insertHeight + (cells > 1 ? geometry.pitch * (cells - 1) : 0.0);
}

MmRect PageContentArea(const PageSetup& page)
{
    MmRect area;
    area.x = page.margin;
    area.y = page.margin + kCaptionHeight;
    area.width = page.width - 2 * page.margin;
    area.height = page.height - 2 * page.margin - kCaptionHeight;
    return area;
}

bool IsValidSheetSetup(const LegendGeometry& geometry, const PageSetup& page)
{
    if (!(geometry.insertWidth > 0 && geometry.insertHeight > 0 && geometry.pitch > 0 && page.margin >= 0)) {
        return false;
    }
    if (geometry.pitch < std::max(geometry.insertWidth, geometry.insertHeight)) {
        return false;
    }
    const MmRect area = PageContentArea(page);
    return area.width >= geometry.insertWidth + 2 * kCropRoom &&
           area.height >= geometry.insertHeight + 2 * kCropRoom;
}

std::vector<LegendItem> CollectLegendItems(Keyboard& keyboard, LegendKeys which, uint8_t layout,
                                           const std::vector<GridPoint>& selected)
{
    std::vector<LegendItem> items;
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard.GetGridSize(&columns, &rows);
    const uint8_t first = which == LegendKeys::AllLayouts ? 1 : layout;
    const uint8_t last = which == LegendKeys::AllLayouts ? keyboard.GetLayoutCount() : layout;
    for (uint8_t l = first; l >= 1 && l <= last; ++l) {
        for (uint16_t row = 1; row <= rows; ++row) {
            for (uint16_t column = 1; column <= columns; ++column) {
                const uint8_t flags = keyboard.GetShapeFlags(column, row, l);
                KeyCell* cell = nullptr;
                // A merged key gets one slip, from its top-left cell.
                if ((flags & (ShapeAbove | ShapeLeft)) != 0 || !keyboard.GetCell(column, row, l, &cell) ||
                    !cell->IsProgrammed() || cell->GetName().empty()) {
                    continue;
                }
                LegendItem item;
                item.text = ProjectTextToUtf8(cell->GetName());
                item.keyNumber = keyboard.GetCellIndex(column, row, l);
                item.layout = l;
                item.column = column;
                item.row = row;
                item.widthCells = (flags & ShapeRight) != 0 ? 2 : 1;
                item.heightCells = (flags & ShapeBelow) != 0 ? 2 : 1;
                if (which == LegendKeys::Selected) {
                    const bool chosen = std::any_of(selected.begin(), selected.end(), [&](GridPoint point) {
                        return GridColumn(point) >= column && GridColumn(point) < column + item.widthCells &&
                               GridRow(point) >= row && GridRow(point) < row + item.heightCells;
                    });
                    if (!chosen) {
                        continue;
                    }
                }
                items.push_back(std::move(item));
            }
        }
    }
    std::stable_sort(items.begin(), items.end(), [](const LegendItem& a, const LegendItem& b) {
        return std::tie(a.layout, a.keyNumber) < std::tie(b.layout, b.keyNumber);
    });
    return items;
}

namespace {

void AddLine(LegendPage& page, double x1, double y1, double x2, double y2)
{
    page.cropMarks.push_back(MmLine{x1, y1, x2, y2});
}

// Marks on the extensions of a block's cut lines, outside the block: one set serves every slip of
// a block whose slips share their edges.
void AddBlockMarks(LegendPage& page, double x, double y, double width, double height, int columns, int rows)
{
    const double right = x + columns * width;
    const double bottom = y + rows * height;
    for (int i = 0; i <= columns; ++i) {
        const double cut = x + i * width;
        AddLine(page, cut, y - kCropGap, cut, y - kCropRoom);
        AddLine(page, cut, bottom + kCropGap, cut, bottom + kCropRoom);
    }
    for (int j = 0; j <= rows; ++j) {
        const double cut = y + j * height;
        AddLine(page, x - kCropGap, cut, x - kCropRoom, cut);
        AddLine(page, right + kCropGap, cut, right + kCropRoom, cut);
    }
}

// Two marks at each corner of a slip that stands alone.
void AddCornerMarks(LegendPage& page, const MmRect& rect)
{
    for (const double x : {rect.x, rect.Right()}) {
        for (const double y : {rect.y, rect.Bottom()}) {
            const double outX = x == rect.x ? -1.0 : 1.0;
            const double outY = y == rect.y ? -1.0 : 1.0;
            AddLine(page, x + outX * kCropGap, y, x + outX * kCropRoom, y);
            AddLine(page, x, y + outY * kCropGap, x, y + outY * kCropRoom);
        }
    }
}

std::optional<MmRect> RulerPlace(const PageSetup& page)
{
    const MmRect area = PageContentArea(page);
    if (!page.ruler || area.width < kRulerLength || area.height < 2 * kRulerHeight) {
        return std::nullopt;
    }
    return MmRect{area.x, area.Bottom() - kRulerHeight, kRulerLength, kRulerHeight};
}

// The bottom a page's slips (with their marks) must stay above.
double SlipBottom(const PageSetup& page, const LegendPage& current)
{
    const MmRect area = PageContentArea(page);
    return current.ruler ? current.ruler->y - kCropRoom : area.Bottom();
}

class PackedLayout
{
public:
    PackedLayout(const PageSetup& page, LegendSheet& sheet) : m_page(page), m_sheet(sheet) { NewPage(); }

    void PlaceBlock(const std::vector<size_t>& items, double width, double height)
    {
        const MmRect area = PageContentArea(m_page);
        const int columns = static_cast<int>(std::floor((area.width - 2 * kCropRoom) / width + 1e-9));
        if (columns < 1 || height + 2 * kCropRoom > area.height) {
            m_sheet.tooLarge.insert(m_sheet.tooLarge.end(), items.begin(), items.end());
            return;
        }
        size_t next = 0;
        while (next < items.size()) {
            LegendPage& page = m_sheet.pages.back();
            const double top = m_y + kCropRoom;
            int rows =
                static_cast<int>(std::floor((SlipBottom(m_page, page) - kCropRoom - top) / height + 1e-9));
            if (rows < 1) {
                NewPage();
                continue;
            }
            const size_t left = items.size() - next;
            rows = std::min<int>(rows, static_cast<int>((left + columns - 1) / columns));
            const int used = static_cast<int>(std::min<size_t>(left, static_cast<size_t>(columns)));
            const double x = area.x + kCropRoom;
            for (int r = 0; r < rows && next < items.size(); ++r) {
                for (int c = 0; c < columns && next < items.size(); ++c) {
                    page.legends.push_back(
                        PlacedLegend{items[next++], MmRect{x + c * width, top + r * height, width, height}});
                }
            }
            AddBlockMarks(page, x, top, width, height, used, rows);
            m_y = top + rows * height + kCropRoom;
        }
    }

private:
    void NewPage()
    {
        m_sheet.pages.emplace_back();
        if (m_sheet.pages.size() == 1) {
            m_sheet.pages.back().ruler = RulerPlace(m_page);
        }
        m_y = PageContentArea(m_page).y;
    }

    const PageSetup& m_page;
    LegendSheet& m_sheet;
    double m_y = 0; // the lowest mark so far on the current page
};

LegendSheet LayOutPacked(const std::vector<LegendItem>& items, const LegendGeometry& geometry,
                         const PageSetup& page)
{
    LegendSheet sheet;
    PackedLayout layout(page, sheet);
    const std::pair<uint8_t, uint8_t> sizes[] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}};
    for (const auto& [wide, high] : sizes) {
        std::vector<size_t> block;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].widthCells == wide && items[i].heightCells == high) {
                block.push_back(i);
            }
        }
        if (!block.empty()) {
            layout.PlaceBlock(block, LegendWidth(geometry, wide), LegendHeight(geometry, high));
        }
    }
    if (sheet.pages.back().legends.empty() && sheet.pages.size() > 1) {
        sheet.pages.pop_back();
    }
    return sheet;
}

// Splits positions first..last into runs that fit the room: a key belongs to the run of its
// first cell and must end inside it.
std::vector<std::pair<uint16_t, uint16_t>> SplitRuns(const std::vector<std::pair<uint16_t, uint8_t>>& keys,
                                                     double pitch, double slip, double room)
{
    std::vector<std::pair<uint16_t, uint16_t>> runs;
    if (keys.empty()) {
        return runs;
    }
    uint16_t start = keys.front().first;
    uint16_t end = start;
    for (const auto& [position, cells] : keys) {
        const double need = (position + cells - 1 - start) * pitch + slip;
        if (need > room && position > start) {
            runs.emplace_back(start, end);
            start = position;
        }
        end = std::max<uint16_t>(end, static_cast<uint16_t>(position + cells - 1));
    }
    runs.emplace_back(start, end);
    return runs;
}

LegendSheet LayOutKeyboard(const std::vector<LegendItem>& items, const LegendGeometry& geometry,
                           const PageSetup& page)
{
    LegendSheet sheet;
    const MmRect area = PageContentArea(page);
    const std::optional<MmRect> ruler = RulerPlace(page);
    // Every page keeps the ruler's room: the tiles of a layout then match from page to page.
    const double roomHigh = (ruler ? ruler->y - kCropRoom : area.Bottom()) - area.y - 2 * kCropRoom;
    const double roomWide = area.width - 2 * kCropRoom;
    std::map<uint8_t, std::vector<size_t>> layouts;
    for (size_t i = 0; i < items.size(); ++i) {
        const LegendItem& item = items[i];
        if (LegendWidth(geometry, item.widthCells) > roomWide ||
            LegendHeight(geometry, item.heightCells) > roomHigh) {
            sheet.tooLarge.push_back(i);
        } else {
            layouts[item.layout].push_back(i);
        }
    }
    for (const auto& [layout, members] : layouts) {
        std::vector<std::pair<uint16_t, uint8_t>> columns;
        std::vector<std::pair<uint16_t, uint8_t>> rows;
        for (const size_t i : members) {
            columns.emplace_back(items[i].column, items[i].widthCells);
            rows.emplace_back(items[i].row, items[i].heightCells);
        }
        std::sort(columns.begin(), columns.end());
        std::sort(rows.begin(), rows.end());
        // A run must hold its keys whole: the slip of a key is insert + (cells - 1) pitches.
        const auto columnRuns = SplitRuns(columns, geometry.pitch, geometry.insertWidth, roomWide);
        const auto rowRuns = SplitRuns(rows, geometry.pitch, geometry.insertHeight, roomHigh);
        for (const auto& [top, bottom] : rowRuns) {
            for (const auto& [left, right] : columnRuns) {
                LegendPage tile;
                tile.layout = layout;
                for (const size_t i : members) {
                    const LegendItem& item = items[i];
                    if (item.column < left || item.column > right || item.row < top || item.row > bottom) {
                        continue;
                    }
                    const MmRect rect{area.x + kCropRoom + (item.column - left) * geometry.pitch,
                                      area.y + kCropRoom + (item.row - top) * geometry.pitch,
                                      LegendWidth(geometry, item.widthCells),
                                      LegendHeight(geometry, item.heightCells)};
                    tile.legends.push_back(PlacedLegend{i, rect});
                    AddCornerMarks(tile, rect);
                }
                if (!tile.legends.empty()) {
                    sheet.pages.push_back(std::move(tile));
                }
            }
        }
    }
    if (sheet.pages.empty()) {
        sheet.pages.emplace_back();
    }
    sheet.pages.front().ruler = ruler;
    return sheet;
}

} // namespace

LegendSheet LayOutLegends(const std::vector<LegendItem>& items, const LegendGeometry& geometry,
                          const PageSetup& page, LegendSheetMode mode)
{
    return mode == LegendSheetMode::Packed ? LayOutPacked(items, geometry, page)
                                           : LayOutKeyboard(items, geometry, page);
}

namespace {

std::vector<std::string> SplitOn(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char c : text) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

// The longest start of a word, cut between UTF-8 letters, that fits the width; at least one letter.
size_t FittingPrefix(const std::string& word, double width,
                     const std::function<double(const std::string&)>& measure)
{
    size_t best = 0;
    for (size_t end = 1; end <= word.size(); ++end) {
        if (end < word.size() && (static_cast<unsigned char>(word[end]) & 0xC0) == 0x80) {
            continue; // inside a letter
        }
        if (best != 0 && measure(word.substr(0, end)) > width) {
            break;
        }
        best = end;
    }
    return best;
}

bool WrapLines(const std::vector<std::string>& paragraphs, double width, bool cutWords,
               const std::function<double(const std::string&)>& measure, std::vector<std::string>& lines)
{
    lines.clear();
    for (const std::string& paragraph : paragraphs) {
        std::string line;
        for (std::string word : SplitOn(paragraph, ' ')) {
            if (word.empty()) {
                continue;
            }
            const std::string joined = line.empty() ? word : line + ' ' + word;
            if (measure(joined) <= width) {
                line = joined;
                continue;
            }
            if (!line.empty()) {
                lines.push_back(line);
                line.clear();
            }
            while (measure(word) > width) {
                if (!cutWords) {
                    return false;
                }
                const size_t cut = FittingPrefix(word, width, measure);
                lines.push_back(word.substr(0, cut));
                word.erase(0, cut);
            }
            line = word;
        }
        lines.push_back(line);
    }
    return true;
}

} // namespace

LegendTextFit FitLegendText(const std::string& text, double widthMm, double heightMm,
                            const TextMeasure& measure, const LegendFitRules& rules)
{
    const std::vector<std::string> paragraphs = SplitOn(text, '|');
    LegendTextFit fit;
    for (const bool condensed : {false, true}) {
        const double scale = condensed ? rules.condensedScale : 1.0;
        for (double points = rules.largestPoints; points >= rules.smallestPoints - 1e-9;
             points -= rules.step) {
            const auto width = [&](const std::string& line) { return measure.Width(line, points) * scale; };
            if (WrapLines(paragraphs, widthMm, false, width, fit.lines) &&
                static_cast<double>(fit.lines.size()) * measure.LineHeight(points) <= heightMm + 1e-9) {
                fit.points = points;
                fit.condensed = condensed;
                fit.fits = true;
                return fit;
            }
        }
    }
    fit.points = rules.smallestPoints;
    fit.condensed = true;
    const auto width = [&](const std::string& line) {
        return measure.Width(line, rules.smallestPoints) * rules.condensedScale;
    };
    WrapLines(paragraphs, widthMm, true, width, fit.lines);
    fit.fits = false;
    return fit;
}

std::vector<size_t> FindUnfittingLegends(const std::vector<LegendItem>& items, const LegendGeometry& geometry,
                                         const TextMeasure& measure, const LegendFitRules& rules)
{
    std::vector<size_t> unfitting;
    for (size_t i = 0; i < items.size(); ++i) {
        const double width = LegendWidth(geometry, items[i].widthCells) - 2 * kLegendPadding;
        const double height = LegendHeight(geometry, items[i].heightCells) - 2 * kLegendPadding;
        if (!FitLegendText(items[i].text, width, height, measure, rules).fits) {
            unfitting.push_back(i);
        }
    }
    return unfitting;
}
