#include "ui/KeyPanel.h"

#include "editor/EditorCommands.h"
#include "editor/KeyEditSession.h"
#include "editor/ProjectComparison.h"
#include "lang/StringIds.h"
#include "model/KeyCell.h"
#include "ui/ControlNames.h"
#include "ui/QtTexts.h"
#include "ui/WrappedLabel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

KeyPanel::KeyPanel(QWidget* parent) : QWidget(parent)
{
    // Shown and hidden as one: each widget shown alone in a shown window lays the window out anew.
    m_pictureControls = new QWidget(this);
    m_functionLabel =
        Named(new QLabel(Text(IDS_CTL_PROGRAMMED_KEYS), m_pictureControls), CtlFunctionListLabel);
    m_functionList = Named(new QComboBox(m_pictureControls), CtlFunctionList);
    m_functionLabel->setBuddy(m_functionList);
    m_functionList->setAccessibleName(m_functionLabel->text());
    m_functionList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_functionList->setMinimumContentsLength(18);
    m_functionList->setEnabled(false);
    m_previousKey = Named(new QPushButton(QStringLiteral("<<"), m_pictureControls), CtlPreviousKey);
    m_nextKey = Named(new QPushButton(QStringLiteral(">>"), m_pictureControls), CtlNextKey);
    m_previousKey->setAccessibleName(QStringLiteral("<<"));
    m_nextKey->setAccessibleName(QStringLiteral(">>"));
    m_previousKey->setFocusPolicy(Qt::TabFocus);
    m_nextKey->setFocusPolicy(Qt::TabFocus);
    auto* steps = new QHBoxLayout;
    steps->addWidget(m_previousKey);
    steps->addWidget(m_nextKey);
    steps->addStretch();

    auto* controls = new QVBoxLayout(m_pictureControls);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(m_functionLabel);
    controls->addWidget(m_functionList);
    controls->addLayout(steps);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pictureControls);
    layout->addWidget(BuildCompareGroup());
    layout->addWidget(BuildKeyGroup());
    layout->addWidget(BuildFlagsGroup());
    layout->addWidget(BuildCodesGroup());
    layout->addStretch();
    ShowEditState(false, false, false);
    ShowCapturing(false);
    EnableKeyPanel(false);
}

namespace {

// A menu command's text on a button: without the shortcut hint after the tab.
QString ButtonText(uint32_t id)
{
    return Text(id).section(QLatin1Char('\t'), 0, 0);
}

} // namespace

QWidget* KeyPanel::BuildCompareGroup()
{
    m_compareGroup = new QGroupBox(this);
    m_compareGroup->setObjectName(QStringLiteral("compareGroup"));
    const auto label = [this](const char* name) {
        auto* text = new WrappedLabel(QString(), m_compareGroup);
        text->setObjectName(QLatin1String(name));
        // Names and file names are shown as they are, never as markup.
        text->setTextFormat(Qt::PlainText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return text;
    };
    m_compareSummary = label("compareSummary");
    QFont bold = m_compareSummary->font();
    bold.setBold(true);
    m_compareSummary->setFont(bold);
    m_compareDetails = label("compareDetails");
    m_otherKey = label("otherKey");
    m_compareLegend = label("compareLegend");
    m_takeOtherKey = new QPushButton(ButtonText(IDS_MENU_TAKE_OTHER_KEY), m_compareGroup);
    m_takeOtherKey->setObjectName(QStringLiteral("takeOtherKey"));
    m_closeComparison = new QPushButton(ButtonText(IDS_MENU_CLOSE_COMPARISON), m_compareGroup);
    m_closeComparison->setObjectName(QStringLiteral("closeComparison"));
    // Neither takes the focus from the picture, whose arrows go on from key to key.
    m_takeOtherKey->setFocusPolicy(Qt::TabFocus);
    m_closeComparison->setFocusPolicy(Qt::TabFocus);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_takeOtherKey);
    buttons->addWidget(m_closeComparison);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(m_compareGroup);
    layout->addWidget(m_compareSummary);
    layout->addWidget(m_compareDetails);
    layout->addWidget(m_otherKey);
    layout->addLayout(buttons);
    layout->addWidget(m_compareLegend);
    m_compareGroup->setVisible(false);
    return m_compareGroup;
}

void KeyPanel::ShowComparison(const ComparisonTexts* texts, bool canTake)
{
    m_compareGroup->setVisible(texts != nullptr);
    if (texts == nullptr) {
        return;
    }
    const auto lines = [](const std::vector<std::string>& list) {
        QStringList joined;
        for (const std::string& line : list) {
            joined.append(QString::fromStdString(line));
        }
        return joined.join(QLatin1Char('\n'));
    };
    QString title = QString::fromStdString(texts->title);
    m_compareGroup->setTitle(title.replace(QLatin1Char('&'), QStringLiteral("&&")));
    m_compareSummary->setText(QString::fromStdString(texts->summary));
    m_compareDetails->setText(lines(texts->details));
    m_compareDetails->setVisible(!texts->details.empty());
    m_otherKey->setText(lines(texts->otherKey));
    m_otherKey->setVisible(!texts->otherKey.empty());
    m_takeOtherKey->setVisible(!texts->otherKey.empty());
    m_takeOtherKey->setEnabled(canTake);
    m_compareLegend->setText(QString::fromStdString(texts->legend));
}

QWidget* KeyPanel::BuildKeyGroup()
{
    auto* group = Named(new QGroupBox(Text(IDS_CTL_KEY_GROUP), this), CtlKeyGroup);
    m_keyNumber = Named(new QLineEdit(group), CtlKeyNumber);
    m_keyName = Named(new QLineEdit(group), CtlKeyName);
    m_keyNumber->setReadOnly(true);
    m_keyNumber->setMaximumWidth(60);
    auto* numberLabel = Named(new QLabel(Text(IDS_CTL_KEY_NUMBER), group), CtlKeyNumberLabel);
    auto* nameLabel = Named(new QLabel(Text(IDS_CTL_KEY_NAME), group), CtlKeyNameLabel);
    numberLabel->setBuddy(m_keyNumber);
    nameLabel->setBuddy(m_keyName);
    m_keyNumber->setAccessibleName(numberLabel->text());
    m_keyName->setAccessibleName(nameLabel->text());
    auto* fields = new QFormLayout(group);
    fields->addRow(numberLabel, m_keyNumber);
    fields->addRow(nameLabel, m_keyName);
    return group;
}

QWidget* KeyPanel::BuildFlagsGroup()
{
    auto* group = Named(new QGroupBox(Text(IDS_CTL_KEY_FLAGS), this), 1146);
    m_modesRow = new QWidget(group);
    m_modeGroup = new QButtonGroup(group);
    auto* modes = new QGridLayout(m_modesRow);
    modes->setContentsMargins(0, 0, 0, 0);
    for (int mode = 1; mode <= 3; ++mode) {
        auto* button = Named(new QRadioButton(Text(IDS_MODE_1 + mode - 1), m_modesRow),
                             static_cast<uint16_t>(1122 + mode));
        m_modeGroup->addButton(button, mode);
        m_modes[mode - 1] = button;
        modes->addWidget(button, 0, mode - 1);
    }
    m_setModeForAll = Named(new QPushButton(Text(IDS_CTL_SET_MODE_ALL), m_modesRow), 1126);
    modes->addWidget(m_setModeForAll, 1, 0, 1, 3);
    m_keyTypeLabel = Named(new QLabel(Text(IDS_CTL_SELECT_KEY_TYPE), group), 1153);
    m_keyType = Named(new QComboBox(group), 1152);
    m_keyTypeLabel->setBuddy(m_keyType);
    m_keyType->setAccessibleName(m_keyTypeLabel->text());
    m_simpleKey = Named(new QCheckBox(Text(IDS_CTL_SIMPLE_KEY), group), 1147);
    m_groupKey = Named(new QCheckBox(Text(IDS_CTL_GROUP_KEY), group), 1120);
    m_groupKey->setEnabled(false);
    m_setSimpleForAll = Named(new QPushButton(Text(IDS_CTL_SET_SIMPLE_ALL), group), 1127);

    auto* flags = new QGridLayout(group);
    flags->addWidget(m_modesRow, 0, 0, 1, 2);
    flags->addWidget(m_keyTypeLabel, 2, 0);
    flags->addWidget(m_keyType, 2, 1);
    flags->addWidget(m_simpleKey, 3, 0);
    flags->addWidget(m_groupKey, 3, 1);
    flags->addWidget(m_setSimpleForAll, 4, 0, 1, 2);
    return group;
}

QWidget* KeyPanel::BuildCodesGroup()
{
    m_codesGroup = Named(new QGroupBox(Text(IDS_CTL_KEY_CODES), this), 1151);
    m_codesGroup->setFocusPolicy(Qt::TabFocus);
    m_codesGroup->setAccessibleName(Text(IDS_CTL_KEY_CODES).trimmed());
    m_captureNote = new WrappedLabel(Text(IDS_CAPTURE_ON), m_codesGroup);
    m_captureNote->setObjectName(QStringLiteral("CaptureNote"));
    m_captureNote->setAutoFillBackground(true);
    m_captureNote->setMargin(4);
    auto* grid = new QGridLayout;
    for (int i = 1; i <= kCodeFields; ++i) {
        auto* field = Named(new QLineEdit(m_codesGroup), static_cast<uint16_t>(1099 + i));
        field->setReadOnly(true);
        field->setMinimumWidth(70);
        // Entering a field starts a capture: Tab must walk past them, a click or Enter starts it.
        field->setFocusPolicy(Qt::ClickFocus);
        auto* label = new QLabel(QStringLiteral("%1.").arg(i), m_codesGroup);
        label->setBuddy(field);
        field->setAccessibleName(label->text());
        // Two columns of eight, as a sequence reads down.
        const int column = (i - 1) / 8;
        const int row = (i - 1) % 8;
        grid->addWidget(label, row, 2 * column, Qt::AlignRight);
        grid->addWidget(field, row, 2 * column + 1);
        m_codes[i - 1] = field;
    }
    m_hiddenField = Named(new QLineEdit(m_codesGroup), 1128);
    m_hiddenField->setReadOnly(true);
    m_hiddenField->setFixedSize(0, 0);
    m_hiddenField->setFocusPolicy(Qt::ClickFocus);
    m_hiddenField->setAccessibleName(m_codesGroup->accessibleName());
    m_hint = Named(new WrappedLabel(Text(IDS_CTL_ENTER_HINT), m_codesGroup), 1150);
    m_apply = Named(new QPushButton(Text(IDS_CTL_APPLY), m_codesGroup), 1148);
    m_deleteLast = Named(new QPushButton(Text(IDS_CTL_DELETE_LAST_CODE), m_codesGroup), 1171);
    m_cancel = Named(new QPushButton(Text(IDS_CTL_CANCEL), m_codesGroup), 1149);
    m_editCodes = Named(new QPushButton(Text(IDS_CTL_EDIT_CODES), m_codesGroup), 1176);
    m_keyCodes = new QPushButton(Text(IDS_MENU_KEY_CODES), m_codesGroup);
    m_keyCodes->setObjectName(QStringLiteral("keyCodesButton"));
    // A click must not take the focus from a code field: the edit stays pending.
    m_keyCodes->setFocusPolicy(Qt::TabFocus);
    // The focus lands on Apply when capture ends: Enter there applies.
    for (QPushButton* button : {m_apply, m_deleteLast, m_cancel}) {
        button->setAutoDefault(true);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_apply);
    buttons->addWidget(m_deleteLast);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_hiddenField);
    buttons->addStretch();
    // "Edit codes" shows only while the hint does not: they share one place.
    auto* hintOrEditCodes = new QGridLayout;
    hintOrEditCodes->addWidget(m_hint, 0, 0);
    hintOrEditCodes->addWidget(m_editCodes, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    // Beside them rather than beside Apply, whose row is the panel's widest.
    hintOrEditCodes->addWidget(m_keyCodes, 0, 1, Qt::AlignRight | Qt::AlignVCenter);
    hintOrEditCodes->setColumnStretch(0, 1);

    // What comes and goes with the panel's state keeps its room: nothing moves under the pointer
    // (a click on Apply ends the capture between its press and its release) and the window keeps
    // its size.
    for (QWidget* widget : std::initializer_list<QWidget*>{m_captureNote, m_hint, m_apply, m_deleteLast,
                                                           m_cancel, m_editCodes}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    auto* layout = new QVBoxLayout(m_codesGroup);
    layout->addWidget(m_captureNote);
    layout->addLayout(grid);
    layout->addLayout(hintOrEditCodes);
    layout->addLayout(buttons);
    return m_codesGroup;
}

void KeyPanel::ShowCell(const KeyCell* cell, uint16_t keyNumber, bool canEditScanCodes, bool showEditCodes)
{
    EnableKeyPanel(cell != nullptr && cell->GetKeyNumber() != 0);
    if (cell == nullptr) {
        return;
    }
    m_keyNumber->setText(keyNumber != 0 ? QString::number(keyNumber) : QString());
    if (!m_keyName->hasFocus() || m_keyName->text() != FromProjectText(cell->GetName())) {
        m_keyName->setText(FromProjectText(cell->GetName()));
    }
    const bool hasModes = cell->GetMaxMode() != 0;
    {
        const QSignalBlocker blocker(m_modeGroup);
        m_modeGroup->setExclusive(false);
        for (int mode = 1; mode <= 3; ++mode) {
            m_modes[mode - 1]->setChecked(hasModes && cell->GetMode() == mode);
        }
        m_modeGroup->setExclusive(true);
    }
    m_modesRow->setVisible(hasModes);
    const uint8_t types = cell->GetMaxKeyType();
    m_keyTypeLabel->setVisible(types > 0);
    m_keyType->setVisible(types > 0);
    {
        const QSignalBlocker blocker(m_keyType);
        m_keyType->clear();
        for (uint8_t type = 1; type <= types; ++type) {
            m_keyType->addItem(FromProjectText(cell->GetKeyTypeName(type)));
        }
        m_keyType->setCurrentIndex(types > 0 ? cell->GetKeyType() - 1 : -1);
    }
    {
        const QSignalBlocker blocker(m_simpleKey);
        m_simpleKey->setEnabled(keyNumber != 0 && cell->GetMaxSimpleKey() != 0);
        m_simpleKey->setChecked(cell->GetSimpleKey() == 1);
    }
    m_groupKey->setChecked(cell->IsMerged());
    for (int i = 1; i <= kCodeFields; ++i) {
        QLineEdit* field = m_codes[i - 1];
        field->setText(FromProjectText(cell->GetCodeDisplayText(i)));
        // A long caption does not fit the field.
        field->setToolTip(field->text());
    }
    m_capacity = cell->GetCapacity();
    EnableCodeFields();
    m_editCodes->setVisible(keyNumber != 0 && canEditScanCodes && showEditCodes);
}

void KeyPanel::EnableKeyPanel(bool enable)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{m_setModeForAll, m_setSimpleForAll, m_keyTypeLabel,
                                                           m_keyType, m_keyNumber, m_simpleKey, m_keyName,
                                                           m_modes[0], m_modes[1], m_modes[2]}) {
        widget->setEnabled(enable);
    }
    if (!enable) {
        const QSignalBlocker blocker(m_keyType);
        m_keyType->clear();
        m_simpleKey->setChecked(false);
        m_groupKey->setChecked(false);
        m_keyNumber->clear();
        m_keyName->clear();
        for (QLineEdit* field : m_codes) {
            field->clear();
        }
    }
}

void KeyPanel::ShowPictureControls(bool show)
{
    m_pictureControls->setVisible(show);
    m_pictureShown = show;
    EnableCodeFields();
}

void KeyPanel::EnableCodeFields()
{
    // Only the fields the key has room for look open.
    for (int i = 1; i <= kCodeFields; ++i) {
        m_codes[i - 1]->setEnabled(m_pictureShown && i <= m_capacity);
    }
}

void KeyPanel::ShowEditState(bool hint, bool editButtons, bool editCodes)
{
    m_hint->setVisible(hint);
    m_apply->setVisible(editButtons);
    m_deleteLast->setVisible(editButtons);
    m_cancel->setVisible(editButtons);
    if (!editCodes) {
        m_editCodes->setVisible(false);
    }
}

void KeyPanel::ShowCapturing(bool on)
{
    m_captureNote->setVisible(on);
    QPalette palette = m_captureNote->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
    m_captureNote->setPalette(palette);
}

void KeyPanel::FocusKeyName()
{
    m_keyName->setFocus(Qt::OtherFocusReason);
    m_keyName->selectAll();
}

void KeyPanel::FocusCodeField(int index)
{
    if (index >= 1 && index <= kCodeFields) {
        m_codes[index - 1]->setFocus(Qt::OtherFocusReason);
    } else if (index == kHiddenCodeField) {
        m_hiddenField->setFocus(Qt::OtherFocusReason);
    } else if (index == kApplyFocus && m_apply->isVisible()) {
        m_apply->setFocus(Qt::OtherFocusReason);
        m_apply->setDown(true);
        m_apply->setDown(false);
    }
}

int KeyPanel::CodeFieldIndex(const QWidget* widget) const
{
    for (int i = 1; i <= kCodeFields; ++i) {
        if (m_codes[i - 1] == widget) {
            return i;
        }
    }
    return widget != nullptr && widget == m_hiddenField ? kHiddenCodeField : 0;
}

bool KeyPanel::IsEditButton(const QWidget* widget) const
{
    return widget != nullptr && (widget == m_apply || widget == m_cancel || widget == m_deleteLast);
}

bool KeyPanel::IsKeyField(const QWidget* widget) const
{
    return widget != nullptr && (widget == m_keyNumber || widget == m_keyName);
}
