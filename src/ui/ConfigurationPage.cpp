#include "ui/ConfigurationPage.h"

#include "app/Numbers.h"
#include "lang/StringIds.h"
#include "model/Keyboard.h"
#include "ui/ControlNames.h"
#include "ui/NumberEdit.h"
#include "ui/QtTexts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

NumberEdit* ByteField(QWidget* parent, int id)
{
    auto* field = Named(new NumberEdit(parent), id);
    field->SetIntegerRange(0, 255, 3, 0, false);
    field->setMaximumWidth(60);
    return field;
}

QLineEdit* CapturedText(QWidget* parent, int id, const QString& name)
{
    auto* field = Named(new QLineEdit(parent), id);
    field->setReadOnly(true);
    field->setAccessibleName(name);
    return field;
}

} // namespace

ConfigurationPage::ConfigurationPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ConfigurationPage"));
    m_hint = Named(new QLabel(Text(IDS_CTL_ENTER_HINT), this), 1150);
    m_hint->setVisible(false);
    m_keyBeep = Named(new QCheckBox(Text(IDS_CTL_KEY_BEEP), this), 1154);

    auto* affixes = new QHBoxLayout;
    affixes->addWidget(BuildAffixGroup(true));
    affixes->addWidget(BuildAffixGroup(false));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildRfidGroup());
    layout->addLayout(affixes);
    layout->addWidget(m_hint);
    layout->addWidget(m_keyBeep);
    layout->addWidget(BuildKeysGroup());
    layout->addStretch();
    Connect();
    SetKeyboard(nullptr);
}

QGroupBox* ConfigurationPage::BuildRfidGroup()
{
    auto* group = Named(new QGroupBox(Text(IDS_CTL_RFID), this), 1161);
    auto* label = Named(new QLabel(Text(IDS_CTL_DIGITS_COUNT), group), 1170);
    m_rfidDigits = ByteField(group, 1135);
    m_rfidDigits->setAccessibleName(label->text());
    label->setBuddy(m_rfidDigits);
    m_rfidUp = Named(new QToolButton(group), 1136);
    m_rfidUp->setArrowType(Qt::UpArrow);
    m_rfidDown = new QToolButton(group);
    m_rfidDown->setObjectName(QStringLiteral("ctl1136down"));
    m_rfidDown->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_rfidUp, m_rfidDown}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    m_numericOnly = Named(new QCheckBox(Text(IDS_CTL_DIGITS_NUMERIC), group), 1142);
    auto* row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(m_rfidDigits);
    row->addWidget(m_rfidUp);
    row->addWidget(m_rfidDown);
    row->addSpacing(16);
    row->addWidget(m_numericOnly);
    row->addStretch();
    return group;
}

QGroupBox* ConfigurationPage::BuildAffixGroup(bool prefix)
{
    auto* group =
        Named(new QGroupBox(Text(prefix ? IDS_CTL_PREFIX : IDS_CTL_SUFFIX), this), prefix ? 1162 : 1166);
    const QString name = group->title();
    QLabel*& codeLabel = m_affixLabels[prefix ? 0 : 2];
    QLabel*& keyLabel = m_affixLabels[prefix ? 1 : 3];
    codeLabel = Named(new QLabel(Text(IDS_CTL_KEY_CODE_MODIFIER), group), prefix ? 1164 : 1168);
    keyLabel = Named(new QLabel(group), prefix ? 1165 : 1169);
    NumberEdit*& code = prefix ? m_prefixCode : m_suffixCode;
    code = ByteField(group, prefix ? 1137 : 1138);
    code->setAccessibleName(name + QLatin1Char(' ') + codeLabel->text());
    QLineEdit*& modifiers = prefix ? m_prefixModifiers : m_suffixModifiers;
    QLineEdit*& keys = prefix ? m_prefixKeys : m_suffixKeys;
    modifiers = CapturedText(group, prefix ? 1121 : 1132, name);
    keys = CapturedText(group, prefix ? 1131 : 1141, name);
    QCheckBox*& extended = prefix ? m_prefixExtended : m_suffixExtended;
    extended = Named(new QCheckBox(Text(IDS_CTL_EXTENDED), group), prefix ? 1139 : 1140);
    QPushButton*& clear = prefix ? m_prefixClear : m_suffixClear;
    clear = Named(new QPushButton(Text(IDS_CTL_CLEAR), group), prefix ? 1163 : 1167);
    clear->setAutoDefault(false);

    auto* grid = new QGridLayout(group);
    grid->addWidget(codeLabel, 0, 0);
    grid->addWidget(code, 0, 1);
    grid->addWidget(modifiers, 0, 1);
    grid->addWidget(keyLabel, 1, 0);
    grid->addWidget(keys, 1, 1);
    grid->addWidget(extended, 2, 1);
    grid->addWidget(clear, 2, 1, Qt::AlignRight);
    return group;
}

QGroupBox* ConfigurationPage::BuildKeysGroup()
{
    auto* box = new QGroupBox(this);
    box->setFlat(true);
    auto* typeGroup = Named(new QGroupBox(Text(IDS_CTL_KEYS_TYPE), box), 1158);
    m_makeBreak = Named(new QRadioButton(Text(IDS_CTL_MAKE_BREAK), typeGroup), 1129);
    m_typematic = Named(new QRadioButton(Text(IDS_CTL_TYPEMATIC), typeGroup), 1130);
    auto* types = new QVBoxLayout(typeGroup);
    types->addWidget(m_makeBreak);
    types->addWidget(m_typematic);

    auto* pauseGroup = Named(new QGroupBox(Text(IDS_CTL_KEYS_PAUSE), box), 1159);
    m_keyPause = ByteField(pauseGroup, 1143);
    m_keyPause->setAccessibleName(pauseGroup->title());
    auto* pause = new QHBoxLayout(pauseGroup);
    pause->addWidget(m_keyPause);
    pause->addWidget(Named(new QLabel(Text(IDS_CTL_PAUSE_RANGE), pauseGroup), 1160));
    pause->addStretch();

    auto* repeatGroup = Named(new QGroupBox(Text(IDS_CTL_KEY_REPEAT), box), 1157);
    auto* rateLabel = Named(new QLabel(Text(IDS_CTL_TYPEMATIC_RATE), repeatGroup), 1156);
    auto* delayLabel = Named(new QLabel(Text(IDS_CTL_KEY_DELAY), repeatGroup), 1155);
    m_rate = Named(new QSlider(Qt::Horizontal, repeatGroup), 1133);
    m_delay = Named(new QSlider(Qt::Horizontal, repeatGroup), 1134);
    m_rate->setAccessibleName(rateLabel->text());
    m_delay->setAccessibleName(delayLabel->text());
    for (QSlider* slider : {m_rate, m_delay}) {
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setPageStep(1);
    }
    auto* repeat = new QFormLayout(repeatGroup);
    repeat->addRow(rateLabel, m_rate);
    repeat->addRow(delayLabel, m_delay);

    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(typeGroup, 0, 0);
    layout->addWidget(pauseGroup, 0, 1);
    layout->addWidget(repeatGroup, 1, 0, 1, 2);
    return box;
}

void ConfigurationPage::Connect()
{
    // Each control acts on the keyboard at once; filling the controls acts on nothing.
    auto act = [this](auto&& change) {
        return [this, change](auto&&... values) {
            if (!m_filling && m_keyboard != nullptr) {
                change(*m_keyboard, values...);
                emit Changed();
            }
        };
    };
    connect(m_rfidDigits, &QLineEdit::textChanged, this, act([](Keyboard& keyboard, const QString& text) {
                uint8_t digits = 0;
                if (ParseU8(text.toStdString(), digits, 255) == 0) {
                    keyboard.SetRfidDigits(digits);
                }
            }));
    connect(m_rfidUp, &QToolButton::clicked, this, [this] { StepRfidDigits(1); });
    connect(m_rfidDown, &QToolButton::clicked, this, [this] { StepRfidDigits(-1); });
    connect(m_numericOnly, &QCheckBox::clicked, this,
            act([](Keyboard& keyboard, bool checked) { keyboard.SetRfidNumericOnly(checked); }));
    for (bool prefix : {true, false}) {
        connect(GetAffixCode(prefix), &QLineEdit::textChanged, this,
                act([this, prefix](Keyboard& keyboard, const QString&) {
                    keyboard.SetAffixKeyCode(prefix,
                                             static_cast<uint8_t>(GetAffixCode(prefix)->GetIntegerValue()));
                }));
        connect(
            GetAffixExtended(prefix), &QCheckBox::clicked, this,
            act([prefix](Keyboard& keyboard, bool checked) { keyboard.SetAffixExtended(prefix, checked); }));
        connect(GetAffixClear(prefix), &QPushButton::clicked, this,
                act([this, prefix](Keyboard& keyboard, bool) {
                    keyboard.ClearAffix(prefix);
                    ShowAffixTexts();
                }));
    }
    connect(m_keyBeep, &QCheckBox::clicked, this,
            act([](Keyboard& keyboard, bool checked) { keyboard.SetKeyBeep(checked); }));
    for (QRadioButton* button : {m_makeBreak, m_typematic}) {
        connect(button, &QRadioButton::clicked, this, act([this](Keyboard& keyboard, bool) {
                    keyboard.SetKeysType(m_typematic->isChecked() ? 1 : 0);
                }));
    }
    connect(m_keyPause, &QLineEdit::textChanged, this, act([this](Keyboard& keyboard, const QString&) {
                keyboard.SetKeyPause(static_cast<uint8_t>(m_keyPause->GetIntegerValue()));
            }));
    // A slider acts when it is let go, or at once when it is moved by the keyboard.
    for (QSlider* slider : {m_rate, m_delay}) {
        auto apply = act([this, slider](Keyboard& keyboard) {
            const auto value = static_cast<uint8_t>(slider->value());
            if (slider == m_rate) {
                keyboard.SetTypematicRate(value);
            } else {
                keyboard.SetTypematicDelay(value);
            }
        });
        connect(slider, &QSlider::sliderReleased, this, apply);
        connect(slider, &QSlider::valueChanged, this, [slider, apply] {
            if (!slider->isSliderDown()) {
                apply();
            }
        });
    }
}

void ConfigurationPage::StepRfidDigits(int step)
{
    uint8_t minimum = 0;
    uint8_t maximum = 0;
    if (m_keyboard == nullptr || !m_keyboard->GetRfidDigitsRange(&minimum, &maximum)) {
        return;
    }
    const int64_t value = std::clamp<int64_t>(m_rfidDigits->GetIntegerValue() + step, minimum, maximum);
    m_rfidDigits->SetIntegerValue(value);
}

void ConfigurationPage::SetKeyboard(Keyboard* keyboard)
{
    m_keyboard = keyboard;
    setEnabled(keyboard != nullptr);
    ShowValues();
}

void ConfigurationPage::ShowValues()
{
    if (m_keyboard == nullptr) {
        return;
    }
    m_filling = true;
    Keyboard& keyboard = *m_keyboard;
    uint8_t minimum = 0;
    uint8_t maximum = 0;
    // The field takes the keyboard's own range, so that it refuses and clamps what the keyboard
    // would refuse, instead of showing a number the keyboard does not hold.
    if (keyboard.GetRfidDigitsRange(&minimum, &maximum)) {
        m_rfidDigits->SetIntegerRange(minimum, maximum, 0, 0, false);
    }
    m_rfidDigits->SetIntegerValue(keyboard.GetRfidDigits());
    m_numericOnly->setChecked(keyboard.GetRfidNumericOnly());
    const bool shortCodes = keyboard.GetAffixStyle() == 1;
    for (bool prefix : {true, false}) {
        GetAffixCode(prefix)->setVisible(shortCodes);
        GetAffixExtended(prefix)->setVisible(shortCodes);
        GetAffixModifiers(prefix)->setVisible(!shortCodes);
        GetAffixKeys(prefix)->setVisible(!shortCodes);
        GetAffixClear(prefix)->setVisible(!shortCodes);
        GetAffixCode(prefix)->SetIntegerValue(keyboard.GetAffixKeyCode(prefix));
        GetAffixExtended(prefix)->setChecked(keyboard.GetAffixExtended(prefix));
    }
    for (int i = 0; i < 4; ++i) {
        m_affixLabels[i]->setText(FromProjectText(keyboard.GetCodeEntryLabel(i % 2)));
    }
    ShowAffixTexts();
    m_keyBeep->setEnabled(keyboard.CanSetKeyBeep());
    m_keyBeep->setChecked(keyboard.GetKeyBeep());
    m_makeBreak->setChecked(keyboard.GetKeysType() == 0);
    m_typematic->setChecked(keyboard.GetKeysType() != 0);
    m_keyPause->SetIntegerValue(keyboard.GetKeyPause());
    keyboard.GetTypematicRateRange(&minimum, &maximum);
    m_rate->setRange(minimum, maximum);
    m_rate->setValue(keyboard.GetTypematicRate());
    keyboard.GetTypematicDelayRange(&minimum, &maximum);
    m_delay->setRange(minimum, maximum);
    m_delay->setValue(keyboard.GetTypematicDelay());
    m_filling = false;
}

void ConfigurationPage::ShowAffixTexts()
{
    if (m_keyboard == nullptr) {
        return;
    }
    for (bool prefix : {true, false}) {
        GetAffixModifiers(prefix)->setText(FromProjectText(m_keyboard->GetAffixText(nullptr, prefix, true)));
        GetAffixKeys(prefix)->setText(FromProjectText(m_keyboard->GetAffixText(nullptr, prefix, false)));
    }
}

int ConfigurationPage::AffixFieldOf(const QWidget* widget) const
{
    if (widget == nullptr) {
        return 0;
    }
    if (widget == m_prefixModifiers || widget == m_prefixKeys) {
        return 1;
    }
    return widget == m_suffixModifiers || widget == m_suffixKeys ? 2 : 0;
}

void ConfigurationPage::ShowHint(bool show)
{
    m_hint->setVisible(show);
}

bool ConfigurationPage::IsHintVisible() const
{
    return m_hint->isVisible();
}

void ConfigurationPage::FocusClear(bool prefix)
{
    GetAffixClear(prefix)->setFocus(Qt::OtherFocusReason);
}
