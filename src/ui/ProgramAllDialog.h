// Keyboard > "Program all connected keyboards...": the connected keyboards of the project's family,
// checked by default, programmed at once with a bar and a result each, and the report saved.
#pragma once

#include "device/KeyboardFleet.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class Keyboard;
class QPushButton;
class QTableWidget;
class QTimer;

class ProgramAllDialog : public QDialog
{
    Q_OBJECT

public:
    // Called instead of running the dialog, once it shows its keyboards.
    using TestHook = std::function<void(ProgramAllDialog&)>;

    // The project stays the caller's: each keyboard is given a copy when programming starts.
    ProgramAllDialog(QWidget* parent, Keyboard& project, const FleetOptions& options);
    ~ProgramAllDialog() override;

    void Run();
    static void SetTestHook(TestHook hook);

    QTableWidget* GetTable() const { return m_table; }
    // The rows of the last programming, in the table's order of the keyboards programmed.
    std::vector<FleetRow> GetRows() const;
    bool IsRunning() const { return m_fleet != nullptr && !m_finished; }

public slots:
    void StartProgramming();
    void SaveReport();
    void reject() override;

private:
    void ShowProgress();

    Keyboard& m_project;
    FleetOptions m_options;
    std::vector<FleetTarget> m_targets;
    std::vector<int> m_programmedRows; // table row of each keyboard programmed
    std::unique_ptr<KeyboardFleet> m_fleet;
    bool m_finished = false;
    QTableWidget* m_table;
    QPushButton* m_start;
    QPushButton* m_save;
    QPushButton* m_close;
    QTimer* m_timer;
};
