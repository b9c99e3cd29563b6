#include "editor/LayoutReport.h"

#include "keycodes/NumberFormat.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"

#include <algorithm>

namespace {

std::string ReadableCodes(const KeyCell& cell)
{
    std::string codes;
    for (int i = 1; i <= cell.GetCodeCount(); ++i) {
        const std::string name = ProjectTextToUtf8(cell.GetCodeDisplayText(i));
        if (!name.empty()) {
            codes += (codes.empty() ? "" : " ") + name;
        }
    }
    return codes;
}

// Labels keep their colon off: the report sets them in a column of their own.
std::string Label(uint32_t id)
{
    std::string text = LoadText(id);
    while (!text.empty() && (text.back() == ':' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string YesNo(bool on)
{
    return LoadText(on ? IDS_REPORT_YES : IDS_REPORT_NO);
}

std::string AffixValue(Keyboard& keyboard, bool prefix)
{
    if (keyboard.GetAffixStyle() == 1) {
        std::string value = FormatHex(keyboard.GetAffixKeyCode(prefix), 1);
        if (keyboard.GetAffixExtended(prefix)) {
            value += ", " + Label(IDS_CTL_EXTENDED);
        }
        return value;
    }
    const std::string modifiers = ProjectTextToUtf8(keyboard.GetAffixText(nullptr, prefix, true));
    const std::string key = ProjectTextToUtf8(keyboard.GetAffixText(nullptr, prefix, false));
    return modifiers.empty() ? key : (key.empty() ? modifiers : modifiers + " " + key);
}

} // namespace

std::string GetShapeName(KeyShape shape)
{
    switch (shape) {
    case KeyShape::DoubleWide:
        return LoadText(IDS_REPORT_SHAPE_WIDE);
    case KeyShape::DoubleHigh:
        return LoadText(IDS_REPORT_SHAPE_HIGH);
    case KeyShape::Quad:
        return LoadText(IDS_REPORT_SHAPE_QUAD);
    case KeyShape::Single:
        break;
    }
    return LoadText(IDS_REPORT_SHAPE_SINGLE);
}

std::vector<ReportLayout> CollectReportLayouts(Keyboard& keyboard)
{
    std::vector<ReportLayout> layouts;
    uint16_t columns = 0;
    uint16_t rows = 0;
    keyboard.GetGridSize(&columns, &rows);
    for (uint8_t l = 1; l >= 1 && l <= keyboard.GetLayoutCount(); ++l) {
        ReportLayout layout;
        layout.layout = l;
        layout.name = ProjectTextToUtf8(keyboard.GetLayoutName(l));
        for (uint16_t row = 1; row <= rows; ++row) {
            for (uint16_t column = 1; column <= columns; ++column) {
                const uint8_t flags = keyboard.GetShapeFlags(column, row, l);
                KeyCell* cell = nullptr;
                if ((flags & (ShapeAbove | ShapeLeft)) != 0 || !keyboard.GetCell(column, row, l, &cell) ||
                    !cell->IsProgrammed()) {
                    continue;
                }
                ReportKeyRow key;
                key.number = keyboard.GetCellIndex(column, row, l);
                key.name = ProjectTextToUtf8(cell->GetName());
                key.mode = ProjectTextToUtf8(cell->GetModeName(cell->GetMode()));
                key.keyType = ProjectTextToUtf8(cell->GetKeyTypeName(cell->GetKeyType()));
                key.shape = ShapeFromFlags(flags);
                key.codes = ReadableCodes(*cell);
                layout.keys.push_back(std::move(key));
            }
        }
        std::stable_sort(layout.keys.begin(), layout.keys.end(),
                         [](const ReportKeyRow& a, const ReportKeyRow& b) { return a.number < b.number; });
        layouts.push_back(std::move(layout));
    }
    return layouts;
}

std::vector<std::pair<std::string, std::string>> GetReportOptions(Keyboard& keyboard)
{
    std::vector<std::pair<std::string, std::string>> options;
    options.emplace_back(Label(IDS_CTL_DIGITS_COUNT), FormatDecimal(keyboard.GetRfidDigits()));
    options.emplace_back(Label(IDS_CTL_DIGITS_NUMERIC), YesNo(keyboard.GetRfidNumericOnly()));
    options.emplace_back(Label(IDS_CTL_PREFIX), AffixValue(keyboard, true));
    options.emplace_back(Label(IDS_CTL_SUFFIX), AffixValue(keyboard, false));
    if (keyboard.CanSetKeyBeep()) {
        options.emplace_back(Label(IDS_CTL_KEY_BEEP), YesNo(keyboard.GetKeyBeep()));
    }
    options.emplace_back(Label(IDS_CTL_KEYS_TYPE),
                         LoadText(keyboard.GetKeysType() == 0 ? IDS_CTL_MAKE_BREAK : IDS_CTL_TYPEMATIC));
    options.emplace_back(Label(IDS_CTL_KEYS_PAUSE), FormatDecimal(keyboard.GetKeyPause()) + " ms");
    options.emplace_back(Label(IDS_CTL_TYPEMATIC_RATE), FormatDecimal(keyboard.GetTypematicRate()));
    options.emplace_back(Label(IDS_CTL_KEY_DELAY), FormatDecimal(keyboard.GetTypematicDelay()));
    return options;
}
