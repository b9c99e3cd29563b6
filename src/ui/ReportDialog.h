// File > "Print layout report...": a notes field, then the report previewed and printed or
// written as PDF.
#pragma once

#include <QDialog>

#include <functional>

class Keyboard;
class QPlainTextEdit;

class ReportDialog : public QDialog
{
    Q_OBJECT

public:
    // Called instead of running the dialog.
    using TestHook = std::function<void(ReportDialog&)>;

    // fileName: the project's file, empty when it was never saved.
    ReportDialog(QWidget* parent, Keyboard& keyboard, QString fileName);

    void Run();
    static void SetTestHook(TestHook hook);
    QPlainTextEdit* GetNotes() const { return m_notes; }
    // The failure is shown; false on failure.
    bool ExportTo(const QString& path);

public slots:
    void Preview();
    void Export();

private:
    Keyboard& m_keyboard;
    QString m_fileName;
    QPlainTextEdit* m_notes;
};
