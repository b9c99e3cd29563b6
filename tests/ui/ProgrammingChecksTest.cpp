// What the editor does around programming a keyboard: the backup of what it held, the read-back,
// their Configuration items, the backups dialog and the ZQ-1100's note.
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "device/FleetReport.h"
#include "editor/EditorCommands.h"
#include "files/ProjectOpen.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "ui/ProgramAllDialog.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const char* const kProgramAnyway = "The keyboard's present programming could not be backed up:\n\n";

QStringList Backups()
{
    return QDir(EditorWindow::GetBackupFolder())
        .entryList({QStringLiteral("*.zqp")}, QDir::Files, QDir::Name);
}

std::string SignatureOf(const std::string& path)
{
    OpenedProject project = OpenProjectFile(path);
    return project.outcome == OpenOutcome::Opened ? project.keyboard->GetContentSignature() : "not opened";
}

// The texts the progress dialog showed while a command ran, each once in the order they were
// painted.
class PhaseRecorder : public QObject
{
public:
    PhaseRecorder() { QApplication::instance()->installEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* label = qobject_cast<QLabel*>(watched);
        if (event->type() == QEvent::Paint && label != nullptr &&
            label->objectName() == QLatin1String("phase") &&
            (texts.isEmpty() || texts.last() != label->text())) {
            texts.append(label->text());
            // The dialog as it looks while it writes, for the eye.
            if (texts.size() == 3) {
                QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
                label->window()->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/communication.png"));
            }
        }
        return false;
    }
};

} // namespace

class ProgrammingChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        // Every test has a data folder of its own, never the user's.
        m_data = std::make_unique<QTemporaryDir>(m_folder.filePath(QStringLiteral("data-XXXXXX")));
        qputenv("XDG_DATA_HOME", m_data->path().toUtf8());
    }
    void cleanup() { qunsetenv("XDG_DATA_HOME"); }
    void configurationItemsStartOnAndToggle();
    void aBackupKeepsWhatTheKeyboardHeld();
    void aFailedBackupAsksAndNoWritesNothing();
    void verifyNamesTheAddressUnlessTurnedOff();
    void backupsOpenReadOnlyFromTheirFolder();
    void aZq1100IsProgrammedAfterOneNote();
    void programAllProgramsTheCheckedKeyboardsAndSavesTheReport();
    void programAllWithoutKeyboardsSaysSoAndOffersNothing();

private:
    std::string File(const char* name) const
    {
        return m_folder.filePath(QString::fromLatin1(name)).toStdString();
    }

    QTemporaryDir m_folder;
    std::unique_ptr<QTemporaryDir> m_data;
};

void ProgrammingChecksTest::configurationItemsStartOnAndToggle()
{
    TestWindow test(kTypeZq2200One);
    for (const uint16_t command : {CmdVerifyAfterProgramming, CmdBackupBeforeProgramming}) {
        QVERIFY(test.window->GetAction(command)->isCheckable());
        QVERIFY(test.window->GetAction(command)->isChecked());
    }
    QCOMPARE(test.window->GetAction(CmdVerifyAfterProgramming)->text(),
             QStringLiteral("&Verify after programming"));
    QCOMPARE(test.window->GetAction(CmdOpenBackups)->text(), QStringLiteral("Open keyboard &backups..."));
    QVERIFY(Trigger(test.window->GetAction(CmdVerifyAfterProgramming)));
    QVERIFY(!test.settings.m_verifyAfterProgramming && test.settings.m_backupBeforeProgramming);
    QVERIFY(!test.window->GetAction(CmdVerifyAfterProgramming)->isChecked());
    test.window->GetAction(CmdBackupBeforeProgramming)->trigger();
    QVERIFY(!test.settings.m_backupBeforeProgramming);
    QVERIFY(!test.window->GetAction(CmdBackupBeforeProgramming)->isChecked());
    QVERIFY(Trigger(test.window->GetAction(CmdVerifyAfterProgramming)));
    QVERIFY(test.settings.m_verifyAfterProgramming);
    QVERIFY(test.window->GetAction(CmdVerifyAfterProgramming)->isChecked());
}

void ProgrammingChecksTest::aBackupKeepsWhatTheKeyboardHeld()
{
    Simulator simulator(m_folder.path(), {});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq2200One);
    ScriptedPrompts prompts;
    Keyboard* keyboard = test.window->GetKeyboard();
    QVERIFY(keyboard->SetKeyTexts("Key_1", "M1,S+,K0x17", 1, 1, 1));
    const std::string former = keyboard->GetContentSignature();
    // A blank keyboard holds nothing that reads as a project: asked, and programmed on Yes.
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QCOMPARE(prompts.shown.size(), size_t(1));
    QCOMPARE(prompts.shown[0].rfind(std::string(kProgramAnyway) + "Error on data decoding.", 0), 0u);
    QVERIFY(prompts.shown[0].ends_with("\n\nProgram the keyboard anyway?"));
    QVERIFY(Backups().isEmpty());

    prompts.shown.clear();
    QVERIFY(keyboard->SetKeyTexts("Key_2", "M2,K0xE1", 2, 1, 1));
    const PhaseRecorder phases;
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QVERIFY(prompts.shown.empty());
    QCOMPARE(phases.texts, (QStringList{"Connecting to the ZQ-2200 keyboard...",
                                        "Saving a backup of the ZQ-2200 keyboard's layout...",
                                        "Writing the layout into the ZQ-2200 keyboard...",
                                        "Reading the ZQ-2200 keyboard back to verify it..."}));
    // Success is said too, with what it took.
    const QString done = test.window->statusBar()->currentMessage();
    QVERIFY2(
        QRegularExpression(QStringLiteral("^Programmed and verified ZQ-2200 in \\d+\\.\\d s, \\d+ reports$"))
            .match(done)
            .hasMatch(),
        qPrintable(done));
    const QStringList backups = Backups();
    QCOMPARE(backups.size(), 1);
    QVERIFY(backups[0].startsWith(QStringLiteral("ZQ-2200-one-layout_")));
    const QString path = EditorWindow::GetBackupFolder() + QLatin1Char('/') + backups[0];
    QCOMPARE(SignatureOf(path.toStdString()), former);
    // The user's bits only: nothing for group or others.
    QCOMPARE(QFileInfo(EditorWindow::GetBackupFolder()).permissions() & 0x0FFF,
             QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    QVERIFY(test.window->isEnabled());
}

void ProgrammingChecksTest::aFailedBackupAsksAndNoWritesNothing()
{
    {
        // Without a keyboard there is nothing to ask: the one message of a missing keyboard.
        TestWindow test(kTypeZq2200One);
        ScriptedPrompts prompts;
        QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
        QCOMPARE(prompts.shown,
                 std::vector<std::string>{
                     "No device was found.\nCheck if the keyboard is connected via USB port to PC."});
    }
    // The backup's first chunk fails: the question says why, and No sends no write at all.
    Simulator simulator(m_folder.path(),
                        {QStringLiteral("--fail"), QStringLiteral("2:2=2"), QStringLiteral("--dump-memory"),
                         QString::fromStdString(File("memory.bin"))});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq2200One);
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::No};
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QCOMPARE(prompts.shown,
             std::vector<std::string>{std::string(kProgramAnyway) +
                                      "An error occured during communication.\r\n\r\n"
                                      "ZQ Error: Operation failed.\n\nProgram the keyboard anyway?"});
    QVERIFY(!QFileInfo::exists(QString::fromStdString(File("memory.bin"))));
    QVERIFY(test.window->isEnabled());
}

void ProgrammingChecksTest::verifyNamesTheAddressUnlessTurnedOff()
{
    Simulator simulator(m_folder.path(), {QStringLiteral("--corrupt-byte"), QStringLiteral("0x0812")});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq2200One);
    QVERIFY(Trigger(test.window->GetAction(CmdBackupBeforeProgramming)));
    ScriptedPrompts prompts;
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QCOMPARE(prompts.shown,
             std::vector<std::string>{"The keyboard holds other data than were written.\r\n\r\n"
                                      "The first difference is at address 0x0812."});
    prompts.shown.clear();
    QVERIFY(Trigger(test.window->GetAction(CmdVerifyAfterProgramming)));
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QVERIFY(prompts.shown.empty());
    QVERIFY(Backups().isEmpty());
}

void ProgrammingChecksTest::backupsOpenReadOnlyFromTheirFolder()
{
    TestWindow test(kTypeZq2200One);
    ScriptedPrompts prompts;
    ScriptedFileDialogs dialogs;
    QVERIFY(Trigger(test.window->GetAction(CmdOpenBackups)));
    QCOMPARE(dialogs.asked, 1);
    QCOMPARE(dialogs.kind, FileDialogKind::OpenBackup);
    QCOMPARE(QString::fromStdString(dialogs.initial), EditorWindow::GetBackupFolder());
    QVERIFY(QFileInfo(EditorWindow::GetBackupFolder()).isDir());
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq2200One);

    // A backup chosen opens; a plain Save then asks for a new name instead of changing it.
    const std::string backup =
        EditorWindow::GetBackupFolder().toStdString() + "/ZQ-2200-three-layouts_kept.zqp";
    std::unique_ptr<Keyboard> kept = CreateKeyboard(4);
    QVERIFY(kept->SetKeyTexts("Kept", "K0x04", 1, 1, 1));
    QCOMPARE(SaveProjectFile(*kept, backup), SaveOutcome::Saved);
    dialogs.answer.accepted = true;
    dialogs.answer.path = backup;
    QVERIFY(Trigger(test.window->GetAction(CmdOpenBackups)));
    QCOMPARE(test.window->GetKeyboard()->GetContentSignature(), kept->GetContentSignature());
    QVERIFY(test.window->GetDocument().IsReadOnly());
    QVERIFY(prompts.shown.empty());
}

void ProgrammingChecksTest::aZq1100IsProgrammedAfterOneNote()
{
    Simulator simulator(m_folder.path(),
                        {QStringLiteral("--family"), QStringLiteral("zq1100"),
                         QStringLiteral("--legacy-version"), QStringLiteral("0"),
                         QStringLiteral("--dump-legacy"), QString::fromStdString(File("legacy.bin"))});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq1100V1Single);
    ScriptedPrompts prompts;
    const std::vector<std::string> note = {
        "A ZQ-1100 keyboard cannot be read back: it is programmed without a backup and without verifying."};
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QCOMPARE(prompts.shown, note);
    QCOMPARE(QFileInfo(QString::fromStdString(File("legacy.bin"))).size(), 450);
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QCOMPARE(prompts.shown, note);
    QCOMPARE(QFileInfo(QString::fromStdString(File("legacy.bin"))).size(), 900);
    QVERIFY(Backups().isEmpty());
}

ZQ_UI_TEST(ProgrammingChecksTest)
#include "ProgrammingChecksTest.moc"

void ProgrammingChecksTest::programAllProgramsTheCheckedKeyboardsAndSavesTheReport()
{
    Simulator simulator(
        m_folder.path(), {},
        {{QStringLiteral("a"), {QStringLiteral("--dump-memory"), m_folder.filePath(QStringLiteral("a.bin"))}},
         {QStringLiteral("b"), {QStringLiteral("--corrupt-byte"), QStringLiteral("0x0812")}},
         {QStringLiteral("c"),
          {QStringLiteral("--dump-memory"), m_folder.filePath(QStringLiteral("c.bin"))}}});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq2200One);
    ScriptedPrompts prompts;
    QVERIFY(test.window->GetKeyboard()->SetKeyTexts("Key_1", "M1,S+,K0x17", 1, 1, 1));
    test.settings.m_backupBeforeProgramming = false;
    const std::string report = File("row.json");
    ScriptedFileDialogs files;
    files.answer = {true, report, 1, false};

    // The real modal dialog, driven from inside its own event loop.
    QStringList shown;
    QStringList results;
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ProgramAllDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        QTableWidget* table = dialog->GetTable();
        for (int row = 0; row < table->rowCount(); ++row) {
            shown.append(QFileInfo(table->item(row, 0)->text()).fileName());
        }
        table->item(2, 0)->setCheckState(Qt::Unchecked);
        dialog->findChild<QPushButton*>(QStringLiteral("start"))->click();
        QDeadlineTimer deadline(30000);
        while (dialog->IsRunning() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        // The last progress lands with the timer's next tick.
        QTRY_VERIFY(dialog->findChild<QPushButton*>(QStringLiteral("saveReport"))->isEnabled());
        for (int row = 0; row < table->rowCount(); ++row) {
            results.append(table->item(row, 3)->text());
        }
        dialog->findChild<QPushButton*>(QStringLiteral("saveReport"))->click();
        ran = true;
        dialog->reject();
    });
    QVERIFY(Trigger(test.window->GetAction(CmdProgramAll)));
    QVERIFY(ran);
    QCOMPARE(shown, (QStringList{"a", "b", "c"}));
    QCOMPARE(results[0], QStringLiteral("OK"));
    QVERIFY2(results[1].startsWith(QStringLiteral("20: The keyboard holds other data than were written.")),
             qPrintable(results[1]));
    QCOMPARE(results[2], QString()); // an unchecked keyboard is left alone
    QVERIFY(QFileInfo::exists(m_folder.filePath(QStringLiteral("a.bin"))));
    QVERIFY(!QFileInfo::exists(m_folder.filePath(QStringLiteral("c.bin"))));
    QCOMPARE(files.kind, FileDialogKind::SaveReport);
    std::vector<std::string> failed;
    std::string why;
    QCOMPARE(ReadFleetReportFile(report, failed, why), 0);
    QCOMPARE(failed.size(), size_t(1));
    QVERIFY(QString::fromStdString(failed[0]).endsWith(QStringLiteral("/b")));
}

void ProgrammingChecksTest::programAllWithoutKeyboardsSaysSoAndOffersNothing()
{
    Simulator simulator(m_folder.path(), {QStringLiteral("--family"), QStringLiteral("zq3300")});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq2200One);
    bool checked = false;
    const HookGuard<ProgramAllDialog> guard([&checked](ProgramAllDialog& dialog) {
        // A ZQ-3300 is no keyboard for a ZQ-2200 project.
        QCOMPARE(dialog.GetTable()->rowCount(), 0);
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("none")) != nullptr);
        QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("start"))->isEnabled());
        checked = true;
    });
    QVERIFY(Trigger(test.window->GetAction(CmdProgramAll)));
    QVERIFY(checked);
}
