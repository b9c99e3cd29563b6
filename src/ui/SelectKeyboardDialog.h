// "Select New Keyboard": the keyboard type of a new project, optionally as the default.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QCheckBox;
class QListWidget;

class SelectKeyboardDialog : public QDialog
{
    Q_OBJECT

public:
    // Called instead of running the dialog: it may change the controls, then accept() or reject().
    using TestHook = std::function<void(SelectKeyboardDialog&)>;

    explicit SelectKeyboardDialog(QWidget* parent);

    // Runs the dialog modally; true for OK, with the results in m_selectedType and m_useAsDefault.
    bool Run();
    QListWidget* GetList() const { return m_list; }
    QCheckBox* GetUseAsDefault() const { return m_useAsDefaultBox; }

    static void SetTestHook(TestHook hook);

    uint8_t m_selectedType = 0;
    bool m_useAsDefault = false;

public slots:
    void accept() override;

private:
    QListWidget* m_list;
    QCheckBox* m_useAsDefaultBox;
};
