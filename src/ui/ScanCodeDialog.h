// "Edit scan codes": the raw code bytes of one key as sixteen numbers.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class KeyCell;
class NumberEdit;

class ScanCodeDialog : public QDialog
{
    Q_OBJECT

public:
    // Called instead of running the dialog: it may change the fields, then accept() or reject().
    using TestHook = std::function<void(ScanCodeDialog&)>;
    static constexpr int kFields = 16;

    // The cell may be null; with OK it takes the edited bytes.
    ScanCodeDialog(QWidget* parent, KeyCell* cell);

    bool Run();
    NumberEdit* GetField(int index) const { return m_fields[index - 1]; }
    static void SetTestHook(TestHook hook);

public slots:
    void accept() override;

private:
    KeyCell* m_cell;
    std::array<NumberEdit*, kFields> m_fields{};
};
