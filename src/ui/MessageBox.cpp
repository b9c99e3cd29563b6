#include "ui/MessageBox.h"

#include "ui/QtTexts.h"

#include <QMessageBox>

namespace {

MessageBox::TestHook& Hook()
{
    static MessageBox::TestHook hook;
    return hook;
}

} // namespace

void MessageBox::SetTestHook(TestHook hook)
{
    Hook() = std::move(hook);
}

PromptAnswer MessageBox::Ask(const std::string& text, uint32_t titleId, PromptButtons buttons)
{
    if (Hook()) {
        return Hook()(text, titleId);
    }
    QMessageBox::StandardButtons choices = QMessageBox::Yes | QMessageBox::No;
    if (buttons == PromptButtons::YesNoCancel) {
        choices |= QMessageBox::Cancel;
    }
    QMessageBox box(QMessageBox::Warning, Text(titleId), FromProjectText(text), choices, m_parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        // The close box of a Yes/No question counts as No, of a three-way one as Cancel.
        return buttons == PromptButtons::YesNoCancel ? PromptAnswer::Cancel : PromptAnswer::No;
    }
}

void MessageBox::ShowMessage(const std::string& text, uint32_t titleId, MessageIcon icon)
{
    if (Hook()) {
        Hook()(text, titleId);
        return;
    }
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    if (icon == MessageIcon::Error) {
        shown = QMessageBox::Critical;
    } else if (icon == MessageIcon::Information) {
        shown = QMessageBox::Information;
    }
    QMessageBox box(shown, Text(titleId), FromProjectText(text), QMessageBox::Ok, m_parent);
    box.exec();
}
