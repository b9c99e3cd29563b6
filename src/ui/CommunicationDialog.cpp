#include "ui/CommunicationDialog.h"

#include "lang/StringIds.h"
#include "ui/QtTexts.h"

#include <QProgressBar>
#include <QVBoxLayout>

CommunicationDialog::CommunicationDialog(QWidget* parent) : QDialog(parent), m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("CommunicationDialog"));
    setWindowTitle(Text(IDS_COMMUNICATION_CAPTION));
    // Nothing to press: the command ends by itself.
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    m_bar->setMinimumWidth(320);
    m_bar->setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    m_bar->setRange(0, m_state.GetMaximum());
    m_state.SetChangedHandler([this] {
        m_bar->setRange(0, m_state.GetMaximum());
        m_bar->setValue(static_cast<int>(m_state.GetPosition()));
    });
}
