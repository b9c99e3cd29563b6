#include "ui/CommunicationDialog.h"

#include "editor/DeviceCommandRunner.h"
#include "lang/StringIds.h"
#include "ui/QtTexts.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CommunicationDialog::CommunicationDialog(QWidget* parent, std::string typeName)
    : QDialog(parent), m_typeName(std::move(typeName)), m_phase(new QLabel(this)),
      m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("CommunicationDialog"));
    setWindowTitle(Text(IDS_COMMUNICATION_CAPTION));
    // Nothing to press: the command ends by itself.
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    m_bar->setMinimumWidth(320);
    m_bar->setAccessibleName(windowTitle());
    m_phase->setObjectName(QStringLiteral("phase"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_phase);
    layout->addWidget(m_bar);
    ShowState();
    m_state.SetChangedHandler([this] { ShowState(); });
}

void CommunicationDialog::ShowState()
{
    m_bar->setRange(0, m_state.GetMaximum());
    m_bar->setValue(static_cast<int>(m_state.GetPosition()));
    m_phase->setText(FromProjectText(
        DescribeProgress(m_state.GetPhase(), m_typeName, m_state.GetPosition(), m_state.GetMaximum())));
}
