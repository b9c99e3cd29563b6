// The editor window's keyboard commands: programming, reading back, firmware and its version.
#include "ui/EditorWindow.h"

#include "app/Settings.h"
#include "device/KeyboardBackup.h"
#include "device/MessagePump.h"
#include "editor/DeviceCommandRunner.h"
#include "lang/StringIds.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/UsbKeyboard.h"
#include "ui/CommunicationDialog.h"
#include "ui/FileDialogs.h"
#include "ui/ProgramAllDialog.h"
#include "ui/QtTexts.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>

QString EditorWindow::GetBackupFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/backups");
}

bool EditorWindow::RunDeviceCommand(DeviceCommandKind kind)
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || !IsDeviceCommandAvailable(*keyboard, kind)) {
        return false;
    }
    std::string firmware;
    if (kind == DeviceCommandKind::UploadFirmware) {
        std::string filter;
        std::string extension;
        keyboard->GetFirmwareFileFilter(&filter, &extension);
        const FileChoice choice = AskForFileHere(FileDialogKind::OpenFirmware, DialogFilters(filter),
                                                 std::string(), 0, FromProjectText(extension));
        if (!choice.accepted) {
            return false;
        }
        firmware = choice.path;
    }
    const DeviceCommandOutcome outcome = RunWithCommunication(
        GetFamilyName(*keyboard),
        [&](ProgressSink* progress) {
            if (kind == DeviceCommandKind::Program) {
                ProgrammingChecks checks;
                checks.verify = m_settings.m_verifyAfterProgramming;
                checks.backup = m_settings.m_backupBeforeProgramming;
                checks.backupFolder = QFile::encodeName(GetBackupFolder()).toStdString();
                checks.legacyNoted = &m_legacyReadBackNoted;
                return RunProgramming(*keyboard, checks, progress, m_prompts);
            }
            return RunDeviceOperation(*keyboard, kind, firmware, progress);
        },
        [&] {
            if (kind == DeviceCommandKind::Download) {
                RefreshView();
            }
        });
    if (!outcome.version.empty()) {
        m_prompts.ShowMessage(outcome.version, IDS_BUTTON_OK, MessageIcon::None);
    }
    return true;
}

DeviceCommandOutcome
EditorWindow::RunWithCommunication(const std::string& typeName,
                                   const std::function<DeviceCommandOutcome(ProgressSink*)>& work,
                                   const std::function<void()>& done)
{
    const bool hadFocus = QApplication::focusWidget() != nullptr;
    DeviceCommandOutcome outcome;
    // Events keep flowing while the command runs; none of them may close the project under it.
    m_deviceBusy = true;
    {
        CommunicationDialog progress(this, typeName);
        progress.show();
        setEnabled(false);
        // The dialog is the window's child: it would look disabled too.
        progress.setEnabled(true);
        PumpMessages();
        outcome = work(progress.GetProgressSink());
        if (done) {
            done();
        }
        if (!outcome.message.empty()) {
            m_prompts.ShowMessage(outcome.message, IDS_TITLE_ERROR, MessageIcon::Error);
        }
        progress.hide();
    }
    PumpMessages();
    m_deviceBusy = false;
    setEnabled(true);
    if (hadFocus) {
        activateWindow();
    }
    OnTabChanged(m_tabs->currentIndex());
    if (!outcome.summary.empty()) {
        QString summary = FromProjectText(outcome.summary);
        summary[0] = summary[0].toUpper();
        statusBar()->showMessage(summary, kStatusNoteMs);
    }
    return outcome;
}

void EditorWindow::DownloadCommand()
{
    if (!AskSaveChanges()) {
        return;
    }
    RunDeviceCommand(DeviceCommandKind::Download);
    // Entries whose codes came back take their key again; the others stay as free functions.
    m_functionList.ForgetKeys();
    FillFunctionListFromAllKeys();
}

FileChoice EditorWindow::AskForFileHere(FileDialogKind kind, const QStringList& filters,
                                        const std::string& initial, int selectedFilter,
                                        const QString& defaultSuffix)
{
    const char* const place = kind == FileDialogKind::OpenFirmware ? "Firmware" : "Projects";
    const std::string last = Settings::LoadLastFolder(m_store, place);
    const QString project = QFile::decodeName(m_document.GetPath().c_str());
    std::string start = initial;
    if (start.empty()) {
        const bool projectFirst =
            kind == FileDialogKind::OpenProject || kind == FileDialogKind::CompareProject || last.empty();
        start = projectFirst && !project.isEmpty()
                    ? QFile::encodeName(QFileInfo(project).absolutePath()).toStdString()
                    : last;
    }
    FileChoice choice = AskForFile(this, kind, filters, start, selectedFilter, defaultSuffix);
    if (choice.accepted) {
        const QString folder = QFileInfo(QFile::decodeName(choice.path.c_str())).absolutePath();
        Settings::SaveLastFolder(m_store, place, QFile::encodeName(folder).toStdString());
    }
    return choice;
}

void EditorWindow::OpenBackupsCommand()
{
    // The dialog starts in the folder even before the first backup was made; a folder that cannot
    // be made leaves the start to the dialog.
    const std::string folder = QFile::encodeName(GetBackupFolder()).toStdString();
    const bool exists = CreateBackupFolder(folder);
    // Backups are project files whatever a translation of the filter text says.
    const QString filter = ReadableNameFilter(Text(IDS_FILTER_BACKUPS), {QStringLiteral("*.zqp")});
    const FileChoice choice = AskForFile(this, FileDialogKind::OpenBackup, {filter},
                                         exists ? folder : std::string(), 0, QStringLiteral("zqp"));
    // Read-only, so that a plain Save never changes a backup.
    if (choice.accepted && OpenProject(choice.path)) {
        m_document.SetReadOnly(true);
    }
}

void EditorWindow::ProgramAllCommand()
{
    Keyboard* keyboard = GetKeyboard();
    if (keyboard == nullptr || !IsDeviceCommandAvailable(*keyboard, DeviceCommandKind::Program)) {
        return;
    }
    CommitPendingEdit();
    FleetOptions options;
    options.verify = m_settings.m_verifyAfterProgramming;
    if (m_settings.m_backupBeforeProgramming) {
        options.backupFolder = QFile::encodeName(GetBackupFolder()).toStdString();
    }
    const auto* usb = dynamic_cast<const UsbKeyboard*>(keyboard);
    options.vendorId = usb != nullptr ? usb->GetVendorId() : kZqUsbVendorId;
    m_deviceBusy = true;
    ProgramAllDialog dialog(this, *keyboard, options);
    dialog.Run();
    m_deviceBusy = false;
}
