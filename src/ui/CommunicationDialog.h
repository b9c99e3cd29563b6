// "Communication...": the progress of a keyboard command, shown while the window is disabled.
#pragma once

#include "device/ProgressBarState.h"

#include <QDialog>

#include <string>

class QLabel;
class QProgressBar;

class CommunicationDialog : public QDialog
{
    Q_OBJECT

public:
    // typeName: the keyboard the command talks to, named in the text above the bar.
    CommunicationDialog(QWidget* parent, std::string typeName);

    // Where the command reports its progress.
    ProgressSink* GetProgressSink() { return &m_state; }
    QProgressBar* GetProgressBar() const { return m_bar; }

private:
    void ShowState();

    ProgressBarState m_state;
    std::string m_typeName;
    QLabel* m_phase;
    QProgressBar* m_bar;
};
