// File > Print legends and Print layout report.
#include "ui/EditorWindow.h"
#include "ui/LegendsDialog.h"
#include "ui/ReportDialog.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString ProjectFileName(const EditorDocument& document)
{
    return QFileInfo(QFile::decodeName(document.GetPath().c_str())).fileName();
}

} // namespace

void EditorWindow::PrintLegendsCommand()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    // The names as the panel shows them, a pending edit included.
    CommitPendingEdit();
    const QString name = ProjectFileName(m_document);
    LegendsDialog dialog(this, *keyboard, m_currentKey, name.isEmpty() ? windowTitle() : name);
    dialog.Run();
}

void EditorWindow::PrintReportCommand()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr) {
        return;
    }
    CommitPendingEdit();
    ReportDialog dialog(this, *keyboard, ProjectFileName(m_document));
    dialog.Run();
}
