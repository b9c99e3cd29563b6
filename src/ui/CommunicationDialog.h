// "Communication...": the progress of a keyboard command, shown while the window is disabled.
#pragma once

#include "device/ProgressBarState.h"

#include <QDialog>

class QProgressBar;

class CommunicationDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CommunicationDialog(QWidget* parent);

    // Where the command reports its progress.
    ProgressSink* GetProgressSink() { return &m_state; }
    QProgressBar* GetProgressBar() const { return m_bar; }

private:
    ProgressBarState m_state;
    QProgressBar* m_bar;
};
