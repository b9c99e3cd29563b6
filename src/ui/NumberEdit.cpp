#include "ui/NumberEdit.h"

#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "ui/QtTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QStatusBar>

#include <algorithm>

namespace {

// Stands for every character outside ASCII, which can never be part of a valid number.
constexpr char kForeign = '\x1a';
// Long enough to be read after a refused key; the status bar's own texts come back afterwards.
constexpr int kRangeMessageMs = 5000;

// One character per UTF-16 unit, so that positions count the same in both texts.
std::string ToRulesText(const QString& text)
{
    std::string result;
    result.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        result.push_back(c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : kForeign);
    }
    return result;
}

// Text the line edit would insert as typed; Ctrl and Ctrl+Shift make shortcuts, while AltGr
// (Ctrl+Alt on some systems) still types.
bool IsTypedText(const QKeyEvent& event)
{
    const QString typed = event.text();
    if (typed.isEmpty()) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) {
        return false;
    }
    const char16_t first = typed.front().unicode();
    return first >= 0x20 && first != 0x7f;
}

} // namespace

NumberEdit::NumberEdit(QWidget* parent) : QLineEdit(parent)
{
    const QLocale locale = QLocale::system();
    m_rules.SetDecimalSeparator(
        ChooseDecimalSeparator(locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()));
    // A drop would bypass the checks; like a plain edit control the field takes none.
    setAcceptDrops(false);
}

bool NumberEdit::SetIntegerRange(int64_t minimum, int64_t maximum, uint8_t maxDigits, int decimals,
                                 bool showZero)
{
    if (!m_rules.SetIntegerRange(minimum, maximum, maxDigits, decimals, showZero)) {
        clear();
        return false;
    }
    setToolTip(GetRangeText());
    return true;
}

QString NumberEdit::GetRangeText() const
{
    const std::string text =
        ReplaceFirst(LoadText(IDS_NUMBER_RANGE), "%s", std::to_string(m_rules.GetMinimum()));
    return FromProjectText(ReplaceFirst(text, "%s", std::to_string(m_rules.GetMaximum())));
}

int64_t NumberEdit::GetIntegerValue() const
{
    return NumberRules::GetIntegerValue(ToRulesText(text()));
}

bool NumberEdit::SetIntegerValue(int64_t value)
{
    std::string shown;
    const bool written = m_rules.FormatIntegerValue(value, shown);
    setText(QString::fromStdString(shown));
    return written;
}

void NumberEdit::Paste()
{
    if (!isReadOnly()) {
        InsertChecked(QGuiApplication::clipboard()->text());
    }
}

void NumberEdit::keyPressEvent(QKeyEvent* event)
{
    if (!isReadOnly()) {
        if (event->matches(QKeySequence::Paste)) {
            Paste();
            event->accept();
            return;
        }
        if (IsTypedText(*event)) {
            InsertChecked(event->text());
            event->accept();
            return;
        }
    }
    // Deletions, cut, undo and the rest: let the line edit act, then judge the result.
    const QString savedText = text();
    const NumberFieldState saved = CurrentState();
    QLineEdit::keyPressEvent(event);
    CheckChange(savedText, saved);
}

void NumberEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString savedText = text();
    const NumberFieldState saved = CurrentState();
    QLineEdit::inputMethodEvent(event);
    CheckChange(savedText, saved);
}

void NumberEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && !isReadOnly() && clipboard->supportsSelection()) {
        deselect();
        InsertChecked(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void NumberEdit::contextMenuEvent(QContextMenuEvent* event)
{
    const QPointer<NumberEdit> self(this);
    const QPointer<QMenu> menu(createStandardContextMenu());
    if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        paste->disconnect(this);
        connect(paste, &QAction::triggered, this, &NumberEdit::Paste);
    }
    const QString savedText = text();
    const NumberFieldState saved = CurrentState();
    menu->exec(event->globalPos());
    if (!self) {
        return; // closed with its window while the menu was open; the menu went with it
    }
    delete menu;
    CheckChange(savedText, saved);
}

void NumberEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // The field's own context menu closing gives the focus back: nothing was left.
    if (event->reason() != Qt::PopupFocusReason) {
        const NumberFieldState kept = CurrentState();
        Normalise();
        Select(kept.anchor, kept.caret);
    }
}

void NumberEdit::focusOutEvent(QFocusEvent* event)
{
    if (event->reason() != Qt::PopupFocusReason) {
        Normalise();
    }
    QLineEdit::focusOutEvent(event);
}

NumberFieldState NumberEdit::CurrentState() const
{
    NumberFieldState state;
    state.text = ToRulesText(text());
    state.caret = cursorPosition();
    state.anchor = state.caret;
    if (hasSelectedText()) {
        const int start = selectionStart();
        state.anchor = state.caret == start ? start + selectionLength() : start;
    }
    return state;
}

void NumberEdit::ShowState(const NumberFieldState& state)
{
    const QString shown = QString::fromStdString(state.text);
    if (shown != text()) {
        // Through insert, not setText, so that the change stays a user edit with its undo step.
        selectAll();
        insert(shown);
    }
    Select(state.anchor, state.caret);
}

void NumberEdit::Select(int anchor, int caret)
{
    const int size = static_cast<int>(text().size());
    anchor = std::clamp(anchor, 0, size);
    caret = std::clamp(caret, 0, size);
    if (anchor == caret) {
        setCursorPosition(caret);
    } else {
        setSelection(anchor, caret - anchor);
    }
}

void NumberEdit::InsertChecked(const QString& input)
{
    if (input.isEmpty() && !hasSelectedText()) {
        return;
    }
    const NumberFieldState before = CurrentState();
    const NumberFieldEdit edit = m_rules.InsertText(before, ToRulesText(input));
    if (!edit.accepted) {
        Refuse(text(), before);
        return;
    }
    ShowState(edit.state);
}

void NumberEdit::CheckChange(const QString& savedText, const NumberFieldState& saved)
{
    if (text() == savedText) {
        return;
    }
    const NumberFieldEdit edit = m_rules.CheckEdit(saved, CurrentState());
    if (!edit.accepted) {
        Refuse(savedText, saved);
        return;
    }
    ShowState(edit.state);
}

void NumberEdit::Refuse(const QString& savedText, const NumberFieldState& saved)
{
    if (text() != savedText) {
        selectAll();
        insert(savedText);
    }
    Select(saved.anchor, saved.caret);
    ++m_beepCount;
    QApplication::beep();
    ShowRange();
}

void NumberEdit::Normalise()
{
    const std::string current = ToRulesText(text());
    const QString normal = QString::fromStdString(m_rules.NormaliseOnFocusChange(current));
    if (normal != text()) {
        setText(normal);
    }
    // A bound took the place of the number: say why the field no longer shows what was typed.
    if (m_rules.Validate(current, true) != NumberRules::kValid) {
        ShowRange();
    }
}

void NumberEdit::ShowRange()
{
    // Only the window's own bar: a field in a dialog without one has its tooltip.
    if (auto* bar = window()->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        bar->showMessage(GetRangeText(), kRangeMessageMs);
    }
}
