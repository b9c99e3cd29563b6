#include "ui/KeyPanel.h"

#include "editor/EditorCommands.h"
#include "lang/StringIds.h"
#include "model/KeyCell.h"
#include "ui/QtTexts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString ControlName(uint16_t id)
{
    return QStringLiteral("ctl%1").arg(id);
}

} // namespace

KeyPanel::KeyPanel(QWidget* parent)
    : QWidget(parent), m_functionList(new QComboBox(this)),
      m_previousKey(new QPushButton(QStringLiteral("<<"), this)),
      m_nextKey(new QPushButton(QStringLiteral(">>"), this)),
      m_keyGroup(new QGroupBox(Text(IDS_CTL_KEY_GROUP), this)), m_keyNumber(new QLineEdit(m_keyGroup)),
      m_keyName(new QLineEdit(m_keyGroup))
{
    m_functionList->setObjectName(ControlName(CtlFunctionList));
    m_previousKey->setObjectName(ControlName(CtlPreviousKey));
    m_nextKey->setObjectName(ControlName(CtlNextKey));
    m_keyGroup->setObjectName(ControlName(CtlKeyGroup));
    m_keyNumber->setObjectName(ControlName(CtlKeyNumber));
    m_keyName->setObjectName(ControlName(CtlKeyName));

    auto* functionLabel = new QLabel(Text(IDS_CTL_PROGRAMMED_KEYS), this);
    functionLabel->setBuddy(m_functionList);
    m_functionList->setAccessibleName(functionLabel->text());
    m_functionList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_functionList->setMinimumContentsLength(18);
    m_functionList->setEnabled(false);
    m_previousKey->setAccessibleName(QStringLiteral("<<"));
    m_nextKey->setAccessibleName(QStringLiteral(">>"));
    m_previousKey->setFocusPolicy(Qt::TabFocus);
    m_nextKey->setFocusPolicy(Qt::TabFocus);

    auto* steps = new QHBoxLayout;
    steps->addWidget(m_previousKey);
    steps->addWidget(m_nextKey);
    steps->addStretch();

    m_keyNumber->setReadOnly(true);
    m_keyName->setReadOnly(true);
    m_keyNumber->setMaximumWidth(60);
    auto* keyFields = new QFormLayout(m_keyGroup);
    auto* numberLabel = new QLabel(Text(IDS_CTL_KEY_NUMBER), m_keyGroup);
    auto* nameLabel = new QLabel(Text(IDS_CTL_KEY_NAME), m_keyGroup);
    m_keyNumber->setAccessibleName(numberLabel->text());
    m_keyName->setAccessibleName(nameLabel->text());
    keyFields->addRow(numberLabel, m_keyNumber);
    keyFields->addRow(nameLabel, m_keyName);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(functionLabel);
    layout->addWidget(m_functionList);
    layout->addLayout(steps);
    layout->addWidget(m_keyGroup);
    layout->addStretch();
    EnableKeyPanel(false);
}

void KeyPanel::ShowKeyInPanel(const KeyCell& cell, uint16_t keyNumber)
{
    m_keyNumber->setText(keyNumber != 0 ? QString::number(keyNumber) : QString());
    m_keyName->setText(FromProjectText(cell.GetName()));
    m_keyGroup->setEnabled(true);
}

void KeyPanel::EnableKeyPanel(bool enable)
{
    m_keyGroup->setEnabled(enable);
    if (!enable) {
        m_keyNumber->clear();
        m_keyName->clear();
    }
}

void KeyPanel::FocusKeyName()
{
    m_keyName->setFocus(Qt::OtherFocusReason);
    m_keyName->selectAll();
}
