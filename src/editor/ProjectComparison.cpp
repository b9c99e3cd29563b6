#include "editor/ProjectComparison.h"

#include "editor/FunctionList.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

namespace {

CompareMark MarkOf(KeyDiffState state)
{
    switch (state) {
    case KeyDiffState::Same:
        return CompareMark::Same;
    case KeyDiffState::Changed:
        break;
    case KeyDiffState::OnlyA:
        return CompareMark::OnlyHere;
    case KeyDiffState::OnlyB:
        return CompareMark::OnlyThere;
    }
    return CompareMark::Changed;
}

KeyCell* CellOf(Keyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout)
{
    KeyCell* cell = nullptr;
    if (layout == 0 || layout > keyboard.GetLayoutCount() || !keyboard.IsValidPosition(column, row) ||
        !keyboard.GetCell(column, row, layout, &cell)) {
        return nullptr;
    }
    return cell;
}

std::string CodesText(const KeyCell& cell)
{
    std::string text;
    for (int i = 1; i <= cell.GetCodeCount(); ++i) {
        text += (text.empty() ? "" : " ") + TrimBlanks(cell.GetCodeDisplayText(i));
    }
    return text;
}

// A control's label as an option's name: without its accelerator and closing colon.
std::string OptionLabel(uint32_t id)
{
    std::string text = TrimBlanks(TrimTrailing(LoadText(id), ": "));
    const size_t amp = text.find('&');
    if (amp != std::string::npos) {
        text.erase(amp, 1);
    }
    return text;
}

std::string OptionName(const std::string& option)
{
    static const std::pair<const char*, uint32_t> kLabels[] = {
        {"keyBeep", IDS_CTL_KEY_BEEP},
        {"keysType", IDS_CTL_KEYS_TYPE},
        {"typematicRate", IDS_CTL_TYPEMATIC_RATE},
        {"typematicDelay", IDS_CTL_KEY_DELAY},
        {"rfidDigits", IDS_CTL_DIGITS_COUNT},
        {"rfidNumericOnly", IDS_CTL_DIGITS_NUMERIC},
        {"keyPause", IDS_CTL_KEYS_PAUSE},
        {"prefix", IDS_CTL_PREFIX},
        {"suffix", IDS_CTL_SUFFIX},
    };
    for (const auto& [name, id] : kLabels) {
        if (option == name) {
            return OptionLabel(id);
        }
    }
    return option;
}

std::string Dash(const std::string& value)
{
    return value.empty() ? std::string("-") : value;
}

std::string CountText(size_t count, uint32_t one, uint32_t many)
{
    return count == 1 ? LoadText(one) : ReplaceFirstNumber(LoadText(many), static_cast<int32_t>(count), "%d");
}

} // namespace

const char* GetCompareMarkSymbol(CompareMark mark)
{
    switch (mark) {
    case CompareMark::None:
        break;
    case CompareMark::Same:
        return "=";
    case CompareMark::Changed:
        return "\xE2\x89\xA0"; // not equal to
    case CompareMark::OnlyHere:
        return "+";
    case CompareMark::OnlyThere:
        return "\xE2\x88\x92"; // minus sign
    }
    return "";
}

std::optional<Rgb> GetCompareMarkHue(CompareMark mark)
{
    // Amber, green and violet: apart for the common colour blindnesses too, and the symbols
    // tell them apart where colours do not.
    switch (mark) {
    case CompareMark::Changed:
        return Rgb{0xE8, 0xA3, 0x17};
    case CompareMark::OnlyHere:
        return Rgb{0x2E, 0xA0, 0x4B};
    case CompareMark::OnlyThere:
        return Rgb{0x8E, 0x5C, 0xD9};
    case CompareMark::None:
    case CompareMark::Same:
        break;
    }
    return std::nullopt;
}

uint32_t GetCompareMarkTextId(CompareMark mark)
{
    switch (mark) {
    case CompareMark::None:
        break;
    case CompareMark::Same:
        return IDS_MARK_SAME;
    case CompareMark::Changed:
        return IDS_MARK_CHANGED;
    case CompareMark::OnlyHere:
        return IDS_MARK_ONLY_HERE;
    case CompareMark::OnlyThere:
        return IDS_MARK_ONLY_THERE;
    }
    return 0;
}

bool ProjectComparison::Start(Keyboard& ours, std::unique_ptr<Keyboard> other, CompareSource source,
                              std::string otherName)
{
    if (other == nullptr || GetFamilyName(ours) != GetFamilyName(*other)) {
        return false;
    }
    m_other = std::move(other);
    m_source = source;
    m_otherName = std::move(otherName);
    Compare(ours, ours.GetContentSignature());
    return true;
}

void ProjectComparison::End()
{
    m_other.reset();
    m_signature.clear();
    m_diff = ProjectDiff();
    m_marks.clear();
    m_differingKeys = 0;
}

bool ProjectComparison::Follow(Keyboard& ours, const std::string& signature)
{
    if (!IsActive() || signature == m_signature) {
        return false;
    }
    Compare(ours, signature);
    return true;
}

void ProjectComparison::Compare(Keyboard& ours, const std::string& signature)
{
    DiffSettings settings;
    settings.bFromKeyboard = m_source == CompareSource::Keyboard;
    m_diff = CompareProjects(ours, *m_other, settings);
    m_signature = signature;
    m_marks.clear();
    m_differingKeys = 0;
    // A position of a difference belongs to one key of this project; a key over several such
    // positions of different kinds (a double key against two singles) is changed.
    for (const auto& [where, state] : m_diff.keyStates) {
        const auto& [layout, column, row] = where;
        KeyCell* cell = CellOf(ours, column, row, layout);
        if (cell == nullptr) {
            ++m_differingKeys; // in a layout this project has not
            continue;
        }
        const CompareMark mark = MarkOf(state);
        const auto [found, added] = m_marks.try_emplace({layout, cell->GetMaster()->GetKeyNumber()}, mark);
        if (added) {
            ++m_differingKeys;
        } else if (found->second != mark) {
            found->second = CompareMark::Changed;
        }
    }
}

size_t ProjectComparison::GetDifferingOptionCount() const
{
    size_t count = 0;
    for (const DiffRow& row : m_diff.rows) {
        count += row.field == DiffField::Option ? 1 : 0;
    }
    return count;
}

CompareMark ProjectComparison::GetMark(Keyboard& ours, GridPoint cell, uint8_t layout) const
{
    if (!IsActive()) {
        return CompareMark::None;
    }
    KeyCell* key = CellOf(ours, GridColumn(cell), GridRow(cell), layout);
    if (key == nullptr) {
        return CompareMark::None;
    }
    const auto found = m_marks.find({layout, key->GetMaster()->GetKeyNumber()});
    if (found != m_marks.end()) {
        return found->second;
    }
    return key->GetMaster()->IsProgrammed() ? CompareMark::Same : CompareMark::None;
}

std::string ProjectComparison::GetOtherName(Keyboard& ours, GridPoint cell, uint8_t layout) const
{
    if (m_source != CompareSource::File || GetMark(ours, cell, layout) != CompareMark::OnlyThere) {
        return std::string();
    }
    const std::optional<GridPoint> position = KeyPosition(ours, cell, layout);
    KeyCell* theirs =
        position ? CellOf(*m_other, GridColumn(*position), GridRow(*position), layout) : nullptr;
    return theirs != nullptr && theirs->GetMaster()->IsProgrammed() ? theirs->GetMaster()->GetName()
                                                                    : std::string();
}

std::string ProjectComparison::GetSummary() const
{
    const size_t options = GetDifferingOptionCount();
    if (m_differingKeys == 0 && options == 0) {
        return LoadText(IDS_COMPARE_SAME);
    }
    std::string text = m_differingKeys != 0
                           ? CountText(m_differingKeys, IDS_COMPARE_KEY_DIFFERS, IDS_COMPARE_KEYS_DIFFER)
                           : "";
    if (options != 0) {
        text += (text.empty() ? "" : ", ") + CountText(options, IDS_COMPARE_OPTION, IDS_COMPARE_OPTIONS);
    }
    return text;
}

ComparisonTexts ProjectComparison::GetTexts(Keyboard& ours, GridPoint cell, uint8_t layout) const
{
    ComparisonTexts texts;
    if (!IsActive()) {
        return texts;
    }
    texts.title = m_source == CompareSource::Keyboard
                      ? LoadText(IDS_COMPARE_WITH_KEYBOARD)
                      : LoadTextWithArgument(IDS_COMPARE_WITH_FILE, m_otherName);
    texts.summary = GetSummary();
    for (const DiffRow& row : m_diff.rows) {
        if (row.field == DiffField::Option) {
            texts.details.push_back(ReplaceFirst(
                ReplaceFirst(ReplaceFirst(LoadText(IDS_COMPARE_OPTION_LINE), "%n", OptionName(row.option)),
                             "%s", Dash(row.a)),
                "%t", Dash(row.b)));
        } else if (row.field == DiffField::Layout) {
            const bool here = row.b == "absent";
            texts.details.push_back(
                LoadTextWithArgument(here ? IDS_COMPARE_LAYOUT_HERE : IDS_COMPARE_LAYOUT_THERE,
                                     ProjectTextToUtf8((here ? ours : *m_other).GetLayoutName(row.layout))));
        }
    }
    for (const CompareMark mark :
         {CompareMark::Same, CompareMark::Changed, CompareMark::OnlyHere, CompareMark::OnlyThere}) {
        texts.legend += (texts.legend.empty() ? "" : "   ") + std::string(GetCompareMarkSymbol(mark)) + " " +
                        LoadText(GetCompareMarkTextId(mark));
    }
    if (cell != 0) {
        texts.otherKey = OtherKeyLines(ours, cell, layout);
    }
    return texts;
}

std::vector<std::string> ProjectComparison::OtherKeyLines(Keyboard& ours, GridPoint cell,
                                                          uint8_t layout) const
{
    std::vector<std::string> lines;
    const std::optional<GridPoint> position = KeyPosition(ours, cell, layout);
    if (!position) {
        return lines;
    }
    const CompareMark mark = GetMark(ours, *position, layout);
    if (mark != CompareMark::None) {
        lines.push_back(std::string(GetCompareMarkSymbol(mark)) + " " + LoadText(GetCompareMarkTextId(mark)));
    }
    KeyCell* theirs = CellOf(*m_other, GridColumn(*position), GridRow(*position), layout);
    if (theirs == nullptr) {
        lines.push_back(LoadText(IDS_COMPARE_THERE_NO_LAYOUT));
        return lines;
    }
    const KeyCell& key = *theirs->GetMaster();
    if (!key.IsProgrammed()) {
        lines.push_back(LoadText(IDS_COMPARE_THERE_EMPTY));
    } else {
        lines.push_back(LoadTextWithArgument(IDS_COMPARE_THERE_CODES, ProjectTextToUtf8(CodesText(key))));
        if (key.GetMaxMode() != 0) {
            lines.push_back(LoadTextWithArgument(IDS_COMPARE_THERE_MODE,
                                                 ProjectTextToUtf8(key.GetModeName(key.GetMode()))));
        }
        if (key.GetMaxKeyType() != 0) {
            lines.push_back(LoadTextWithArgument(IDS_COMPARE_THERE_TYPE,
                                                 ProjectTextToUtf8(key.GetKeyTypeName(key.GetKeyType()))));
        }
    }
    // A keyboard keeps no names: it would show the blank it was read into.
    if (m_source == CompareSource::File && !key.GetName().empty()) {
        lines.push_back(LoadTextWithArgument(IDS_COMPARE_THERE_NAME, ProjectTextToUtf8(key.GetName())));
    }
    return lines;
}

std::optional<GridPoint> ProjectComparison::KeyPosition(Keyboard& ours, GridPoint cell, uint8_t layout)
{
    KeyCell* key = CellOf(ours, GridColumn(cell), GridRow(cell), layout);
    if (key == nullptr) {
        return std::nullopt;
    }
    uint16_t column = 0;
    uint16_t row = 0;
    key->GetMaster()->GetPosition(&column, &row, nullptr);
    return MakeGridPoint(column, row);
}

bool ProjectComparison::CanTakeOtherKey(Keyboard& ours, GridPoint cell, uint8_t layout) const
{
    if (!IsActive() || layout > m_other->GetLayoutCount()) {
        return false;
    }
    const CompareMark mark = GetMark(ours, cell, layout);
    return mark != CompareMark::None && mark != CompareMark::Same;
}

bool ProjectComparison::TakeOtherKey(Keyboard& ours, GridPoint cell, uint8_t layout, FunctionList& functions)
{
    if (!CanTakeOtherKey(ours, cell, layout)) {
        return false;
    }
    const GridPoint position = *KeyPosition(ours, cell, layout);
    const uint16_t column = GridColumn(position);
    const uint16_t row = GridRow(position);
    KeyCell* theirs = CellOf(*m_other, column, row, layout);
    KeyCell* mine = CellOf(ours, column, row, layout);
    if (theirs == nullptr || mine == nullptr) {
        return false;
    }
    const KeyCell& key = *theirs->GetMaster();
    // Their shape can be taken only where their key starts here too.
    const uint8_t theirShape = &key == theirs ? m_other->GetShapeFlags(column, row, layout) : 0;
    const std::string ownName = mine->GetName();
    if (!mine->IsLayoutSwitch()) {
        functions.Remove(*mine);
    }
    if (ours.GetShapeFlags(column, row, layout) != theirShape) {
        ours.MakeSingle(column, row, layout, false);
    }
    const std::string name = m_source == CompareSource::Keyboard ? ownName : key.GetName();
    if (key.IsProgrammed()) {
        ours.SetKeyTexts(name, key.FormatCodesText(0), column, row, layout);
    } else {
        ours.ClearKey(column, row, layout, true);
        if (KeyCell* cleared = CellOf(ours, column, row, layout)) {
            cleared->SetName(name);
        }
    }
    // A merge needs free neighbours: where this project's are programmed, the key stays single
    // and its mark says it still differs.
    if (theirShape != 0 && ours.GetShapeFlags(column, row, layout) == 0) {
        ours.ChangeShape(column, row, theirShape, layout);
    }
    if (KeyCell* now = CellOf(ours, column, row, layout);
        now != nullptr && now->IsProgrammed() && !now->IsLayoutSwitch()) {
        functions.AddOrUpdate(*now->GetMaster());
    }
    Compare(ours, ours.GetContentSignature());
    return true;
}
