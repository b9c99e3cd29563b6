// File > "Print legends...": which keys, the slip and page geometry in millimetres, the sheet's
// layout; a preview to print from, and export to PDF, SVG and PNG. Names too long for their slip
// are listed while the choices change, before anything is printed.
#pragma once

#include "model/GridPoint.h"
#include "ui/LegendPrinting.h"

#include <QDialog>

#include <functional>

class Keyboard;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;

class LegendsDialog : public QDialog
{
    Q_OBJECT

public:
    // Called instead of running the dialog.
    using TestHook = std::function<void(LegendsDialog&)>;

    LegendsDialog(QWidget* parent, Keyboard& keyboard, GridPoint currentKey, QString projectName);

    void Run();
    static void SetTestHook(TestHook hook);

    // The sheet the controls describe now.
    LegendJob GetJob() const;
    QListWidget* GetUnfittingList() const { return m_unfitting; }
    QString GetSummary() const;
    // Writes the sheet, the format by the extension; a failure is shown. False on failure.
    bool ExportTo(const QString& path);

public slots:
    void Preview();
    void Export();

private:
    void BuildForm();
    void OnPresetChosen(int index);
    void OnPageChosen(int index);
    // The summary and the list of names that do not fit, after every change.
    void Refresh();
    QDoubleSpinBox* NewMm(double value, double most);

    Keyboard& m_keyboard;
    GridPoint m_currentKey;
    QString m_projectName;
    bool m_filling = false;
    QComboBox* m_keys = nullptr;
    QComboBox* m_mode = nullptr;
    QComboBox* m_preset = nullptr;
    QDoubleSpinBox* m_insertWidth = nullptr;
    QDoubleSpinBox* m_insertHeight = nullptr;
    QDoubleSpinBox* m_pitch = nullptr;
    QComboBox* m_paper = nullptr;
    QDoubleSpinBox* m_pageWidth = nullptr;
    QDoubleSpinBox* m_pageHeight = nullptr;
    QDoubleSpinBox* m_margin = nullptr;
    QDoubleSpinBox* m_smallest = nullptr;
    QCheckBox* m_ruler = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_unfittingLabel = nullptr;
    QListWidget* m_unfitting = nullptr;
};
