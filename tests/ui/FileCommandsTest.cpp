// The editor's menu commands against project files, zqtool and simulated keyboards: opening,
// saving, recent files, the key clipboard, conversions, keyboard commands, texts, undo and redo.
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "editor/EditorCommands.h"
#include "files/ProjectOpen.h"
#include "lang/Texts.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "ui/ConfigurationPage.h"
#include "ui/FileDialogs.h"
#include "ui/KeyPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QByteArray ReadAll(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const std::string& path, const QByteArray& bytes)
{
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A project of the type with one programmed key, saved to the path.
bool WriteProject(uint8_t typeId, const std::string& path, const char* name)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(typeId);
    const bool legacy = typeId >= kTypeZq1100V1Single;
    const char* codes = typeId == kTypeZq1100V1Single ? "I28; 6" : (legacy ? "I28; 10" : "M1,S+,K0x04");
    uint8_t format = 0;
    return keyboard->SetKeyTexts(name, codes, 2, 1, 1) &&
           SaveProjectFile(*keyboard, path, &format) == SaveOutcome::Saved;
}

QStringList Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return {QString::number(process.exitCode()), QString::fromUtf8(process.readAllStandardError())};
}

QStringList ComboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items.append(combo->itemText(i));
    }
    return items;
}

// Answers the file dialogs in turn (Cancel when out of answers) and records what each offered.
struct RecordedFileDialogs
{
    std::deque<FileChoice> answers;
    QList<QStringList> filters;
    std::vector<int> selected;
    std::vector<std::string> initial;

    RecordedFileDialogs()
    {
        SetFileDialogHook(
            [this](FileDialogKind, const QStringList& offered, int selectedFilter, const std::string& start) {
                filters.append(offered);
                selected.push_back(selectedFilter);
                initial.push_back(start);
                if (answers.empty()) {
                    return FileChoice{};
                }
                FileChoice answer = answers.front();
                answers.pop_front();
                return answer;
            });
    }
    ~RecordedFileDialogs() { SetFileDialogHook(nullptr); }
};

// The user in front of the next real file dialog, driven from a zero-delay timer that looks again
// until the dialog is up. It notes what the dialog offers and lists, then answers it, so that a
// failed check never leaves a modal dialog open; the test checks the notes afterwards.
class FileDialogUser : public QObject
{
public:
    QString folder;     // where the user goes to look
    QStringList expect; // names the user looks for, waiting for the listing to show them
    QString answer;     // the name accepted; empty: Cancel
    bool tickReadOnly = false;

    bool shown = false;
    bool closedByAnswer = false; // false: the dialog refused the answer and was cancelled
    QString startFolder;
    QStringList nameFilters;
    QString selectedFilter;
    QStringList listed;

    void AnswerNextDialog()
    {
        QTimer::singleShot(0, this, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()) {
                AnswerNextDialog();
                return;
            }
            Answer(*dialog);
        });
    }

private:
    static QStringList Listing(const QFileDialog& dialog)
    {
        QStringList names;
        const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        if (view == nullptr || view->model() == nullptr) {
            return names;
        }
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
            names.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
        }
        return names;
    }

    void Answer(QFileDialog& dialog)
    {
        shown = true;
        nameFilters = dialog.nameFilters();
        selectedFilter = dialog.selectedNameFilter();
        startFolder = dialog.directory().absolutePath();
        dialog.setDirectory(folder);
        // The folder is read in the background: wait for what should show, not for a time. What
        // did show is compared afterwards.
        static_cast<void>(QTest::qWaitFor([&] {
            const QStringList now = Listing(dialog);
            return std::all_of(expect.begin(), expect.end(),
                               [&](const QString& name) { return now.contains(name); });
        }));
        listed = Listing(dialog);
        listed.sort();
        if (auto* box = dialog.findChild<QCheckBox*>()) {
            box->setChecked(tickReadOnly);
        }
        if (answer.isEmpty()) {
            dialog.reject();
            closedByAnswer = true;
            return;
        }
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        const qsizetype row = Listing(dialog).indexOf(answer);
        if (row >= 0) {
            // Clicked in the list, as a user picks a file that is there.
            view->setFocus();
            view->selectionModel()->setCurrentIndex(view->model()->index(int(row), 0, view->rootIndex()),
                                                    QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
        } else {
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(answer);
        }
        // What the dialog's own button does, checks of the chosen file included.
        static_cast<QDialog&>(dialog).accept();
        closedByAnswer = !dialog.isVisible();
        if (!closedByAnswer) {
            dialog.reject();
        }
    }
};

} // namespace

// Takes the URLs the desktop would open.
class UrlCatcher : public QObject
{
    Q_OBJECT

public slots:
    void Open(const QUrl& url) { opened = url; }

public:
    QUrl opened;
};

class FileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.isValid()); }
    void opensEachFamilyAndRefusesBadFiles();
    void saveAsWritesTheChosenFormat();
    void saveAsOffersAFormatThatReadsBack_data();
    void saveAsOffersAFormatThatReadsBack();
    void realFileDialogsOfferWhatQtMatches_data();
    void realFileDialogsOfferWhatQtMatches();
    void dialogsStartInTheProjectsFolderOrTheLastOneUsed();
    void pasteFromFunctionListAppliesTheChosenEntry();
    void conversionRebuildsTheFunctionList();
    void recentFilesMoveToTheTop();
    void pasteSwapAndClearAll();
    void conversionsAskAndTheFormatFollowsTheType();
    void programThenDownloadGivesTheSameProject();
    void keyboardFailuresShowCodeAndErrorText();
    void firmwareCancelledAndVersionOnlyOnSuccess();
    void languageFileReplacesMenuControlAndMessageTexts();
    void undoWalksBackToTheOpenedFileAndForward();
    void editorAndZqtoolWriteTheSameFiles();
    void helpOpensTheGuide();

private:
    std::string File(const char* name) const
    {
        return m_folder.filePath(QString::fromLatin1(name)).toStdString();
    }

    QTemporaryDir m_folder;
};

void FileCommandsTest::opensEachFamilyAndRefusesBadFiles()
{
    TestWindow test(kTypeZq2200One);
    ScriptedPrompts prompts;
    const struct
    {
        uint8_t type;
        const char* file;
    } projects[] = {
        {kTypeZq2200Three, "a.zqp"}, {kTypeZq3300DoubleTwo, "b.zqp"}, {kTypeZq1100V2Single, "c.txt"}};
    for (const auto& project : projects) {
        QVERIFY(WriteProject(project.type, File(project.file), "Tea"));
        QVERIFY(test.window->OpenProject(File(project.file)));
        QCOMPARE(test.window->GetKeyboard()->GetTypeId(), project.type);
        QVERIFY(test.ShownTitle().startsWith(QString::fromLatin1(project.file) + QStringLiteral(" [")));
        QCOMPARE(test.window->GetPanel()->GetFunctionList()->itemText(0), QStringLiteral("Tea *"));
        QVERIFY(!test.window->GetDocument().HasUnsavedChanges());
    }
    QVERIFY(prompts.shown.empty());

    WriteAll(File("u.zqp"), "hello\n");
    WriteAll(File("e.zqp"), "ZQ-3300.v1\r\nRFID=9N\r\n");
    QVERIFY(!test.window->OpenProject(File("missing.zqp")));
    QVERIFY(!test.window->OpenProject(File("u.zqp")));
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq1100V2Single);
    QVERIFY(test.window->OpenProject(File("e.zqp")));
    // A file that is not opened is named, with why.
    QCOMPARE(prompts.shown, (std::vector<std::string>{"Can not open the file.\n\n" + File("missing.zqp") +
                                                          ": No such file or directory",
                                                      "Unknown file format, or incorrect file.\n\n" +
                                                          File("u.zqp") + ": the first line is 'hello'",
                                                      "There was some errors in decoding of file."}));
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), 0);

    // The Open command with the read-only box: Save then asks where to save.
    ScriptedFileDialogs dialogs;
    dialogs.answer = FileChoice{true, File("a.zqp"), 1, true};
    QVERIFY(Trigger(test.window->GetAction(CmdOpen)));
    QVERIFY(test.window->GetDocument().IsReadOnly());
    QVERIFY(test.ShownTitle().startsWith(QStringLiteral("a.zqp (read-only) [")));
    dialogs.answer = FileChoice{};
    QVERIFY(Trigger(test.window->GetAction(CmdSave)));
    QCOMPARE(dialogs.asked, 2);

    // A file dropped on the window opens as by Open.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(File("b.zqp")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(test.window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(test.window.get(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq3300DoubleTwo);
    QVERIFY(!test.window->GetDocument().IsReadOnly());
    QVERIFY(test.ShownTitle().startsWith(QStringLiteral("b.zqp [")));

    // Unsaved changes are marked after the name until they are saved.
    test.ShowLayout(1);
    test.Click(MakeGridPoint(2, 1));
    QVERIFY(Trigger(test.window->GetAction(CmdCut)));
    QVERIFY(test.ShownTitle().startsWith(QStringLiteral("b.zqp* [")));
    QVERIFY(Trigger(test.window->GetAction(CmdUndo)));
    QVERIFY(test.ShownTitle().startsWith(QStringLiteral("b.zqp [")));
    QVERIFY(Trigger(test.window->GetAction(CmdRedo)));
    QVERIFY(Trigger(test.window->GetAction(CmdSave)));
    QVERIFY(test.ShownTitle().startsWith(QStringLiteral("b.zqp [")));
}

void FileCommandsTest::saveAsWritesTheChosenFormat()
{
    TestWindow test(kTypeZq1100V2Single);
    QVERIFY(test.window->GetKeyboard()->SetKeyTexts("Tea", "I28; 10", 2, 1, 1));
    std::string filter;
    test.window->GetKeyboard()->GetFileFilter(&filter, nullptr);
    const QStringList filters = DialogFilters(filter);
    QVERIFY(filters.size() >= 2);
    ScriptedFileDialogs dialogs;
    ScriptedPrompts prompts;
    QList<QByteArray> headers;
    for (int format = 1; format <= filters.size(); ++format) {
        const std::string path = File("format") + std::to_string(format) + ".txt";
        dialogs.answer = FileChoice{true, path, format, false};
        // Format 2 does not read back as a 16-scan project: written only when the user wants it.
        prompts.answers = {PromptAnswer::Yes};
        QVERIFY(Trigger(test.window->GetAction(CmdSaveAs)));
        QCOMPARE(test.window->GetDocument().GetPath(), path);
        QCOMPARE(int(test.window->GetDocument().GetFileFormat()), format);
        headers.append(ReadAll(path).split('\n').value(0));
        // A plain Save keeps the chosen format.
        QVERIFY(Trigger(test.window->GetAction(CmdSave)));
        QCOMPARE(ReadAll(path).split('\n').value(0), headers.last());
    }
    // The format of the project's own kind reads back whole.
    uint8_t read = 0;
    QCOMPARE(OpenProjectFile(File("format1.txt"), &read).outcome, OpenOutcome::Opened);
    QCOMPARE(headers.value(0), QByteArray("57; 0; 0; 2; 11; 148; 0; 0; 3\r"));
    QVERIFY(headers.value(0) != headers.value(1));
}

void FileCommandsTest::saveAsOffersAFormatThatReadsBack_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("readable");
    QTest::addColumn<int>("unreadable");
    QTest::newRow("ZQ-1100 v1 single") << int(kTypeZq1100V1Single) << 2 << 1;
    QTest::newRow("ZQ-1100 v1 double") << 8 << 2 << 3;
    QTest::newRow("ZQ-1100 v2 single") << int(kTypeZq1100V2Single) << 1 << 2;
    QTest::newRow("ZQ-1100 v2 double") << 10 << 1 << 4;
    QTest::newRow("ZQ-2200") << int(kTypeZq2200Three) << 1 << 0;
}

void FileCommandsTest::saveAsOffersAFormatThatReadsBack()
{
    QFETCH(int, type);
    QFETCH(int, readable);
    QFETCH(int, unreadable);
    TestWindow test(static_cast<uint8_t>(type));
    Keyboard* keyboard = test.window->GetKeyboard();
    const bool legacy = type >= kTypeZq1100V1Single;
    QVERIFY(keyboard->SetKeyTexts("Tea", legacy ? "I28; 10" : "M1,S+,K0x04", 2, 1, 1));
    const std::string path = File(legacy ? "offered.txt" : "offered.zqp");
    ScriptedPrompts prompts;
    RecordedFileDialogs dialogs;
    // A format that does not read back is refused once: the dialog comes back with the path kept.
    if (unreadable != 0) {
        dialogs.answers.push_back(FileChoice{true, path, unreadable, false});
        prompts.answers = {PromptAnswer::No};
    }
    dialogs.answers.push_back(FileChoice{true, path, readable, false});
    QVERIFY(Trigger(test.window->GetAction(CmdSaveAs)));
    const std::vector<int> offered(unreadable != 0 ? 2 : 1, readable);
    QCOMPARE(dialogs.selected, offered);
    QCOMPARE(dialogs.initial.back(), unreadable != 0 ? path : std::string());
    QCOMPARE(prompts.shown.size(), size_t(unreadable != 0 ? 1 : 0));
    if (unreadable != 0) {
        const std::string question =
            "A file saved as \"" + dialogs.filters.value(0).value(unreadable - 1).toStdString() +
            "\" cannot be read back as " + keyboard->GetTypeName() + ".\nSave it anyway?";
        QCOMPARE(prompts.shown[0], question);
    }
    OpenedProject back = OpenProjectFile(path);
    QCOMPARE(back.outcome, OpenOutcome::Opened);
    QCOMPARE(int(back.keyboard->GetTypeId()), type);
    std::string name;
    QVERIFY(back.keyboard->GetKeyTexts(&name, nullptr, 2, 1, 1));
    QCOMPARE(name, std::string("Tea"));
    QCOMPARE(int(test.window->GetDocument().GetFileFormat()), readable);
    if (unreadable == 0) {
        return;
    }
    // Yes writes it all the same, a plain Save keeps it, and Save As offers the readable one again.
    const std::string other = File("other.txt");
    dialogs.answers = {FileChoice{true, other, unreadable, false}};
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(Trigger(test.window->GetAction(CmdSaveAs)));
    QCOMPARE(test.window->GetDocument().GetPath(), other);
    QCOMPARE(int(test.window->GetDocument().GetFileFormat()), unreadable);
    QVERIFY(Trigger(test.window->GetAction(CmdSave)));
    QCOMPARE(int(test.window->GetDocument().GetFileFormat()), unreadable);
    QVERIFY(OpenProjectFile(other).outcome != OpenOutcome::Opened);
    QVERIFY(Trigger(test.window->GetAction(CmdSaveAs)));
    QCOMPARE(dialogs.selected.back(), readable);
}

void FileCommandsTest::realFileDialogsOfferWhatQtMatches_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("listed"); // in the folder looked at, through the selected filter
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("readOnly");
    const QString all = QStringLiteral("ZQ-2200, ZQ-3300 and ZQ-1100 layouts (*.zqp *.txt)");
    QTest::newRow("open") << int(kTypeZq2200One) << int(CmdOpen)
                          << QStringList{all, QStringLiteral("ZQ-2200 Keyboard Layout File (*.zqp)"),
                                         QStringLiteral("ZQ-1100 Keyboard Layout File (*.txt)")}
                          << all << QStringList{"a.zqp", "b.txt"} << "a.zqp" << true;
    const QString sevenThree = QStringLiteral("ZQ-1100 7/3 scans (*.txt)");
    QTest::newRow("save as") << int(kTypeZq1100V1Single) << int(CmdSaveAs)
                             << QStringList{QStringLiteral("ZQ-1100 16 scans (*.txt)"), sevenThree}
                             << sevenThree << QStringList{"b.txt"} << "new.txt" << false;
    const QString firmware = QStringLiteral("ZQ-2200/ZQ-3300 Firmware file (*.enc)");
    QTest::newRow("firmware") << int(kTypeZq2200One) << int(CmdUploadFirmware) << QStringList{firmware}
                              << firmware << QStringList{"c.enc"} << QString() << false;
    const QString backups = QStringLiteral("Keyboard backups (*.zqp)");
    QTest::newRow("backups") << int(kTypeZq2200One) << int(CmdOpenBackups) << QStringList{backups} << backups
                             << QStringList{"a.zqp"} << "a.zqp" << true;
}

void FileCommandsTest::realFileDialogsOfferWhatQtMatches()
{
    QFETCH(int, type);
    QFETCH(int, command);
    QFETCH(QStringList, filters);
    QFETCH(QString, selected);
    QFETCH(QStringList, listed);
    QFETCH(QString, answer);
    QFETCH(bool, readOnly);
#ifdef Q_OS_WIN
    if (command == CmdOpenBackups) {
        QSKIP("XDG_DATA_HOME moves no Windows data folder");
    }
#endif
    // A folder of the row's own, and backups looked for in a data folder of its own.
    const QString own = m_folder.filePath(QString::fromLatin1(QTest::currentDataTag()));
    const bool dataHomeSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] {
        if (dataHomeSet) {
            qputenv("XDG_DATA_HOME", dataHome);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    });
    qputenv("XDG_DATA_HOME", (own + QStringLiteral("/data")).toUtf8());
    const QString folder =
        command == CmdOpenBackups ? EditorWindow::GetBackupFolder() : own + QStringLiteral("/files");
    QVERIFY(QDir().mkpath(folder));
    const auto in = [&folder](const char* name) { return (folder + QLatin1Char('/') + name).toStdString(); };
    QVERIFY(WriteProject(kTypeZq2200Three, in("a.zqp"), "Tea"));
    QVERIFY(WriteProject(kTypeZq1100V2Single, in("b.txt"), "Tea"));
    WriteAll(in("c.enc"), "00");
    {
        TestWindow test(static_cast<uint8_t>(type));
        // Where the last file of its kind was chosen.
        Settings::SaveLastFolder(test.store, command == CmdUploadFirmware ? "Firmware" : "Projects",
                                 folder.toStdString());
        ScriptedPrompts prompts;
        FileDialogUser user;
        user.folder = folder;
        user.expect = listed;
        user.answer = answer;
        user.tickReadOnly = readOnly;
        user.AnswerNextDialog();
        QVERIFY(Trigger(test.window->GetAction(static_cast<uint16_t>(command))));
        QVERIFY(user.shown);
        QVERIFY(user.closedByAnswer);
        QCOMPARE(user.startFolder, folder);
        QCOMPARE(user.listed, listed);
        QCOMPARE(user.nameFilters, filters);
        QCOMPARE(user.selectedFilter, selected);
        QVERIFY(prompts.shown.empty());
        const EditorDocument& document = test.window->GetDocument();
        QCOMPARE(document.GetPath(), answer.isEmpty() ? std::string() : in(answer.toLatin1().constData()));
        QCOMPARE(document.IsReadOnly(), readOnly);
        if (command == CmdSaveAs) {
            OpenedProject back = OpenProjectFile(document.GetPath());
            QCOMPARE(back.outcome, OpenOutcome::Opened);
            QCOMPARE(back.keyboard->GetTypeId(), kTypeZq1100V1Single);
        }
    }
}

void FileCommandsTest::dialogsStartInTheProjectsFolderOrTheLastOneUsed()
{
    const QString projects = m_folder.filePath(QStringLiteral("projects"));
    const QString firmware = m_folder.filePath(QStringLiteral("firmware"));
    QVERIFY(QDir().mkpath(projects) && QDir().mkpath(firmware));
    const std::string tea = (projects + QStringLiteral("/tea.zqp")).toStdString();
    QVERIFY(WriteProject(kTypeZq2200One, tea, "Tea"));
    TestWindow test(kTypeZq2200One);
    ScriptedFileDialogs dialogs;
    ScriptedPrompts prompts;
    const auto startOf = [&](uint16_t command, FileChoice answer = FileChoice{}) {
        dialogs.answer = std::move(answer);
        prompts.answers = {PromptAnswer::No};
        test.window->GetAction(command)->trigger();
        return dialogs.initial;
    };
    // Nothing chosen yet and no file: the dialog's own start.
    QCOMPARE(startOf(CmdOpen, FileChoice{true, tea, 1, false}), std::string());
    QCOMPARE(startOf(CmdOpen), projects.toStdString());
    QCOMPARE(startOf(CmdSaveAs), tea);
    // Firmware starts by the project until a firmware file was chosen somewhere.
    QCOMPARE(startOf(CmdUploadFirmware,
                     FileChoice{true, (firmware + QStringLiteral("/new.enc")).toStdString(), 1}),
             projects.toStdString());
    QCOMPARE(startOf(CmdUploadFirmware), firmware.toStdString());
    // A project without a file starts where the last project was chosen; the settings keep it.
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(Trigger(test.window->GetAction(CmdClearAll)));
    QVERIFY(test.window->GetDocument().GetPath().empty());
    QCOMPARE(startOf(CmdOpen), projects.toStdString());
    QCOMPARE(startOf(CmdSaveAs), projects.toStdString());
    QCOMPARE(Settings::LoadLastFolder(test.store, "Firmware"), firmware.toStdString());
}

void FileCommandsTest::pasteFromFunctionListAppliesTheChosenEntry()
{
    TestWindow test(kTypeZq2200One);
    Keyboard& keyboard = *test.window->GetKeyboard();
    // Two keys share their codes, so freeing the first one's entry drops it from the list.
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(2, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Water", "M1,S+,K0x1A", MakeGridPoint(3, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Zebra", "M1,S+,K0x1D", MakeGridPoint(4, 1), 1));
    test.window->FillFunctionListFromAllKeys();
    test.ShowLayout(1);
    const auto number = [&keyboard](uint16_t column) {
        KeyCell* cell = nullptr;
        return keyboard.GetCell(column, 1, 1, &cell) ? QString::number(cell->GetKeyNumber()) : QString();
    };
    QComboBox* list = test.window->GetPanel()->GetFunctionList();
    QCOMPARE(ComboItems(list),
             (QStringList{"Tea (" + number(1) + ") *", "Tea (" + number(2) + ") *", "Water *", "Zebra *"}));
    const int water = 2;
    list->setCurrentIndex(water);
    emit list->activated(water);
    test.Click(MakeGridPoint(1, 1));
    QCOMPARE(list->currentIndex(), water);
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::Yes};
    std::unique_ptr<QMenu> menu = test.window->BuildKeyMenu();
    QVERIFY(Trigger(test.window->GetAction(CmdPasteFromList)));
    QVERIFY(menu->actions().contains(test.window->GetAction(CmdPasteFromList)));
    QCOMPARE(prompts.shown,
             std::vector<std::string>{
                 "Replace key programming of \"Tea\" with\nthe new programming (\"Water *\")."});
    std::string name;
    std::string codes;
    QVERIFY(keyboard.GetKeyTexts(&name, &codes, MakeGridPoint(1, 1), 1));
    QCOMPARE(name, std::string("Water"));
    QCOMPARE(codes, std::string("M1,S+,K0x1A"));
    QCOMPARE(ComboItems(list),
             (QStringList{"Tea *", "Water (" + number(1) + ") *", "Water (" + number(3) + ") *", "Zebra *"}));
}

void FileCommandsTest::conversionRebuildsTheFunctionList()
{
    TestWindow test(kTypeZq2200Three);
    Keyboard& keyboard = *test.window->GetKeyboard();
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Milk", "M1,S+,K0x10", MakeGridPoint(2, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Beer", "M1,S+,K0x05", MakeGridPoint(1, 1), 3));
    test.window->FillFunctionListFromAllKeys();
    ScriptedPrompts prompts;
    // Milk's key is cleared: its programming stays as a free function.
    test.ShowLayout(1);
    test.Click(MakeGridPoint(2, 1));
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(Trigger(test.window->GetAction(CmdClearKey)));
    QComboBox* list = test.window->GetPanel()->GetFunctionList();
    QCOMPARE(ComboItems(list), (QStringList{"Beer *", "Milk", "Tea *"}));
    // To one layout: Beer's key is gone with the third layout.
    prompts.answers = {PromptAnswer::Yes, PromptAnswer::No};
    QVERIFY(Trigger(test.window->GetAction(CmdConvertFirst + 3)));
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq2200One);
    QCOMPARE(ComboItems(list), (QStringList{"Milk", "Tea *"}));
}

void FileCommandsTest::recentFilesMoveToTheTop()
{
    TestWindow test(kTypeZq2200One);
    std::vector<std::string> files;
    for (const char* name : {"1.zqp", "2.zqp", "3.zqp", "4.zqp", "5.zqp"}) {
        files.push_back(File(name));
        QVERIFY(WriteProject(kTypeZq2200One, files.back(), name));
    }
    for (int i = 1; i < 5; ++i) {
        QVERIFY(test.window->OpenProject(files[i]));
    }
    auto recent = [&test] {
        const RecentFiles stored = Settings::LoadRecentFiles(test.store);
        return std::vector<std::string>(stored.begin(), stored.end());
    };
    QCOMPARE(recent(), (std::vector<std::string>{files[4], files[3], files[2], files[1]}));
    // Entry 3 moves up without losing any; a new file drops entry 4.
    QVERIFY(Trigger(test.window->GetAction(CmdRecentFile1 + 2)));
    QCOMPARE(test.window->GetDocument().GetPath(), files[2]);
    QCOMPARE(recent(), (std::vector<std::string>{files[2], files[4], files[3], files[1]}));
    QVERIFY(test.window->OpenProject(files[0]));
    QCOMPARE(recent(), (std::vector<std::string>{files[0], files[2], files[4], files[3]}));
    QCOMPARE(test.window->GetAction(CmdRecentFile1 + 3)->text(),
             QStringLiteral("&4 ") + QString::fromStdString(files[3]));
    QStringList menu;
    for (QAction* action : test.window->menuBar()->actions().value(0)->menu()->actions()) {
        menu.append(action->objectName());
    }
    // In front of Exit, whatever the commands above them.
    const qsizetype exit = menu.indexOf(QStringLiteral("cmd8109"));
    QVERIFY(exit >= 5);
    QCOMPARE(menu.mid(exit - 5, 5), (QStringList{"cmd8112", "cmd8113", "cmd8114", "cmd8115", ""}));
}

void FileCommandsTest::pasteSwapAndClearAll()
{
    TestWindow test(kTypeZq2200One);
    Keyboard& keyboard = *test.window->GetKeyboard();
    ScriptedPrompts prompts;
    // Swap with an empty clipboard is not offered.
    test.ShowLayout(1);
    test.Click(MakeGridPoint(1, 1));
    QVERIFY(!Trigger(test.window->GetAction(CmdSwap)));
    QVERIFY(prompts.shown.empty());
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", MakeGridPoint(2, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Milk", "M1,S+,K0x10", MakeGridPoint(3, 1), 1));
    test.window->FillFunctionListFromAllKeys();
    test.Click(MakeGridPoint(1, 1));
    QVERIFY(Trigger(test.window->GetAction(CmdCopy)));
    // The same name and codes: nothing to ask, nothing to do.
    test.Click(MakeGridPoint(2, 1));
    QVERIFY(Trigger(test.window->GetAction(CmdPaste)));
    QVERIFY(prompts.shown.empty());
    // Swap: the key takes the clipboard's programming, the clipboard the key's.
    test.Click(MakeGridPoint(3, 1));
    QVERIFY(Trigger(test.window->GetAction(CmdSwap)));
    QCOMPARE(test.window->GetPanel()->GetKeyName()->text(), QStringLiteral("Tea"));
    test.Click(MakeGridPoint(4, 1));
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(Trigger(test.window->GetAction(CmdPaste)));
    QCOMPARE(test.window->GetPanel()->GetKeyName()->text(), QStringLiteral("Milk"));
    QVERIFY(prompts.shown.empty());
    // Clear All asks, clears every key and drops the file name.
    QVERIFY(test.window->SaveProject(File("shop.zqp"), 0));
    test.window->UpdateTitle(File("shop.zqp"));
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(Trigger(test.window->GetAction(CmdClearAll)));
    QCOMPARE(prompts.shown, std::vector<std::string>{"Clear all keys?"});
    QVERIFY(!keyboard.IsKeyProgrammed(1, 1));
    QVERIFY(!keyboard.IsKeyProgrammed(4, 1));
    // A new project, whose keys were not saved as they are now.
    QCOMPARE(test.ShownTitle(), QStringLiteral("no name* - ZQ programmer"));
}

void FileCommandsTest::conversionsAskAndTheFormatFollowsTheType()
{
    TestWindow test(kTypeZq2200Three);
    QVERIFY(test.window->GetKeyboard()->SetKeyTexts("Third", "M1,S+,K0x04", 1, 1, 3));
    QAction* toOne = test.window->GetAction(CmdConvertFirst + 3);
    QVERIFY(toOne != nullptr);
    QCOMPARE(toOne->text(), QStringLiteral("Convert to ZQ-2200 (one layout)"));
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
    toOne->trigger();
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq2200Three);
    toOne->trigger();
    QCOMPARE(prompts.shown.size(), size_t(2));
    QCOMPARE(
        prompts.shown[0].rfind("Convert to ZQ-2200 (one layout)?\nThis conversion will cause data loss.", 0),
        0u);
    // Then what this project would lose.
    QVERIFY2(prompts.shown[0].ends_with("\n\nThis project would lose:\n- layouts: 2 of 3\n"
                                        "- keys with codes cleared: 1\n- codes dropped in all: 1"),
             prompts.shown[0].c_str());
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq2200One);
    QCOMPARE(test.window->GetTabs()->count(), 2);
    QCOMPARE(test.window->GetStatusText(0), QStringLiteral("ZQ-2200 (one layout)"));
    QVERIFY(test.window->GetAction(CmdConvertFirst + 3) == nullptr);

    // A ZQ-1100 v1 file converted to v2 and saved with Save reads back as v2.
    QVERIFY(WriteProject(kTypeZq1100V1Single, File("v1.txt"), "Old"));
    prompts.answers = {PromptAnswer::No};
    QVERIFY(test.window->OpenProject(File("v1.txt")));
    test.window->GetAction(CmdConvertFirst)->trigger();
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq1100V2Single);
    QVERIFY(test.window->GetDocument().HasUnsavedChanges());
    QVERIFY(Trigger(test.window->GetAction(CmdSave)));
    uint8_t format = 0;
    OpenedProject reopened = OpenProjectFile(File("v1.txt"), &format);
    QCOMPARE(reopened.outcome, OpenOutcome::Opened);
    QCOMPARE(reopened.keyboard->GetTypeId(), kTypeZq1100V2Single);
}

void FileCommandsTest::programThenDownloadGivesTheSameProject()
{
    Simulator simulator(m_folder.path(), {});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq2200One);
    // The simulator's blank memory holds no programming a backup could be made of.
    test.settings.m_backupBeforeProgramming = false;
    ScriptedPrompts prompts;
    Keyboard* keyboard = test.window->GetKeyboard();
    // Names stay in the project file; the keyboard keeps only the codes.
    QVERIFY(keyboard->SetKeyTexts("Key_1", "M1,S+,K0x17", 1, 1, 1));
    QVERIFY(keyboard->SetKeyTexts("Key_2", "M2,K0xE1", 2, 1, 1));
    keyboard->SetRfidDigits(5);
    test.window->FillFunctionListFromAllKeys();
    const std::string programmed = keyboard->GetContentSignature();
    // A close request while the keyboard is being programmed is refused.
    QMetaObject::invokeMethod(test.window.get(), &QWidget::close, Qt::QueuedConnection);
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QVERIFY(prompts.shown.empty());
    QVERIFY(test.window->isVisible());
    QVERIFY(test.window->GetKeyboard() != nullptr);
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(Trigger(test.window->GetAction(CmdClearAll)));
    // Unsaved changes are offered for saving before the download replaces them.
    prompts.answers = {PromptAnswer::No};
    QVERIFY(Trigger(test.window->GetAction(CmdDownload)));
    QCOMPARE(prompts.shown.back(), std::string("Do you want to save current file?"));
    QCOMPARE(test.window->GetKeyboard()->GetContentSignature(), programmed);
    QVERIFY(test.window->isEnabled());
    QCOMPARE(test.window->GetPanel()->GetFunctionList()->itemText(0), QStringLiteral("Key_1 *"));
}

void FileCommandsTest::keyboardFailuresShowCodeAndErrorText()
{
    {
        Simulator simulator(m_folder.path(), {QStringLiteral("--disconnect-after"), QStringLiteral("10"),
                                              QStringLiteral("--disconnect-error"), QStringLiteral("1167")});
        REQUIRE_SIMULATOR(simulator);
        TestWindow test(kTypeZq2200One);
        test.settings.m_backupBeforeProgramming = false;
        ScriptedPrompts prompts;
        QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
        // The keyboard took the first chunk: the message says what it holds now.
        QCOMPARE(prompts.shown, std::vector<std::string>{"An error occured during communication.\r\n\r\n"
                                                         "USB Error: The device is not connected.\r\n"
                                                         "The keyboard now holds part of the new layout; "
                                                         "programming it again puts it right."});
        QVERIFY(test.window->isEnabled());
    }
    Simulator simulator(m_folder.path(), {QStringLiteral("--fail"), QStringLiteral("3:1=2")});
    REQUIRE_SIMULATOR(simulator);
    TestWindow test(kTypeZq2200One);
    test.settings.m_backupBeforeProgramming = false;
    ScriptedPrompts prompts;
    QVERIFY(Trigger(test.window->GetAction(CmdProgramming)));
    QCOMPARE(prompts.shown.size(), size_t(1));
    QCOMPARE(prompts.shown[0].rfind(
                 "An error occured during communication.\r\n\r\nZQ Error: Operation failed.", 0),
             0u);
}

void FileCommandsTest::firmwareCancelledAndVersionOnlyOnSuccess()
{
    TestWindow test(kTypeZq2200One);
    ScriptedPrompts prompts;
    ScriptedFileDialogs dialogs;
    QVERIFY(Trigger(test.window->GetAction(CmdUploadFirmware)));
    QCOMPARE(dialogs.asked, 1);
    QVERIFY(prompts.shown.empty());
    // No keyboard: only the error, no version box.
    QVERIFY(Trigger(test.window->GetAction(CmdFirmwareVersion)));
    QCOMPARE(prompts.shown,
             std::vector<std::string>{
                 "No device was found.\nCheck if the keyboard is connected via USB port to PC."});
    Simulator simulator(m_folder.path(), {QStringLiteral("--firmware-version"), QStringLiteral("2.3.4")});
    REQUIRE_SIMULATOR(simulator);
    prompts.shown.clear();
    QVERIFY(Trigger(test.window->GetAction(CmdFirmwareVersion)));
    QCOMPARE(prompts.shown, std::vector<std::string>{"ZQ-2200 v 2.3.4"});
}

void FileCommandsTest::languageFileReplacesMenuControlAndMessageTexts()
{
    WriteAll(File("zq.lang"), "36342=&Neu...\n36311=Tastennummer\n32779=Speichern?\n36339=&Tastatur\\tX\n");
    QVERIFY(LoadLanguageFile(File("zq.lang")));
    {
        TestWindow test(kTypeZq2200One);
        QCOMPARE(test.window->GetAction(CmdNew)->text(), QStringLiteral("&Neu...\tCtrl+N"));
        QCOMPARE(test.window->findChild<QLabel*>(QStringLiteral("ctl1174"))->text(),
                 QStringLiteral("Tastennummer"));
        QCOMPARE(test.window->GetAction(CmdOpen)->text(), QStringLiteral("&Open...\tCtrl+O"));
        QVERIFY(test.window->GetKeyboard()->SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1));
        ScriptedPrompts prompts;
        prompts.answers = {PromptAnswer::Cancel};
        QVERIFY(!test.window->CloseProject());
        QCOMPARE(prompts.shown, std::vector<std::string>{"Speichern?"});
    }
    ClearLanguageTable();
}

void FileCommandsTest::undoWalksBackToTheOpenedFileAndForward()
{
    QVERIFY(WriteProject(kTypeZq2200One, File("undo.zqp"), "Tea"));
    TestWindow test(kTypeZq2200One);
    QVERIFY(test.window->OpenProject(File("undo.zqp")));
    const std::string opened = test.window->GetKeyboard()->GetContentSignature();
    ScriptedPrompts prompts;
    prompts.answers = std::deque<PromptAnswer>(40, PromptAnswer::Yes);
    test.ShowLayout(1);
    ConfigurationPage* page = test.window->GetConfigurationPage();
    KeyPanel* panel = test.window->GetPanel();
    // Twenty changes of every kind, each one step.
    const std::vector<std::function<void()>> changes = {
        [&] {
            test.Click(MakeGridPoint(2, 1));
            QVERIFY(Trigger(test.window->GetAction(CmdCopy)));
            test.Click(MakeGridPoint(3, 3));
            QVERIFY(Trigger(test.window->GetAction(CmdPaste)));
        },
        [&] { QVERIFY(Trigger(test.window->GetAction(CmdDoubleRight))); },
        [&] { QVERIFY(Trigger(test.window->GetAction(CmdSingle))); },
        [&] {
            test.Click(MakeGridPoint(4, 4));
            QVERIFY(Trigger(test.window->GetAction(CmdPaste)));
        },
        [&] {
            test.Click(MakeGridPoint(4, 4));
            QVERIFY(Trigger(test.window->GetAction(CmdCut)));
        },
        [&] {
            test.Click(MakeGridPoint(5, 5));
            QVERIFY(Trigger(test.window->GetAction(CmdPaste)));
        },
        [&] {
            test.Click(MakeGridPoint(5, 5));
            QVERIFY(Trigger(test.window->GetAction(CmdClearKey)));
        },
        [&] { page->GetNumericOnly()->click(); },
        [&] { page->GetTypematic()->click(); },
        [&] { page->GetTypematicRate()->setValue(3); },
        [&] {
            test.Click(MakeGridPoint(2, 1));
            panel->GetSimpleKey()->click();
        },
        [&] {
            test.Click(MakeGridPoint(3, 3));
            panel->GetKeyType()->setCurrentIndex(1);
            emit panel->GetKeyType()->activated(1);
        },
        [&] {
            test.Click(MakeGridPoint(1, 8));
            panel->GetKeyName()->setFocus();
            QTest::keyClicks(panel->GetKeyName(), QStringLiteral("x"));
            test.Picture()->setFocus();
        },
        [&] {
            test.Click(MakeGridPoint(2, 1));
            QVERIFY(Trigger(test.window->GetAction(CmdDoubleDown)));
        },
        [&] { QVERIFY(Trigger(test.window->GetAction(CmdSingle))); },
        [&] {
            test.Click(MakeGridPoint(1, 1));
            QVERIFY(Trigger(test.window->GetAction(CmdPaste)));
        },
        [&] {
            test.Click(MakeGridPoint(1, 2));
            QVERIFY(Trigger(test.window->GetAction(CmdPaste)));
        },
        [&] { page->GetMakeBreak()->click(); },
        [&] {
            test.Click(MakeGridPoint(1, 2));
            QVERIFY(Trigger(test.window->GetAction(CmdClearKey)));
        },
        [&] { QVERIFY(Trigger(test.window->GetAction(CmdConvertFirst + 4))); },
    };
    std::vector<std::string> signatures{opened};
    for (const auto& change : changes) {
        change();
        const std::string now = test.window->GetKeyboard()->GetContentSignature();
        QVERIFY2(now != signatures.back(), qPrintable(QString::number(signatures.size())));
        signatures.push_back(now);
    }
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), 5);
    for (size_t step = signatures.size() - 1; step > 0; --step) {
        QVERIFY(Trigger(test.window->GetAction(CmdUndo)));
        QCOMPARE(test.window->GetKeyboard()->GetContentSignature(), signatures[step - 1]);
    }
    QVERIFY(!test.window->GetDocument().HasUnsavedChanges());
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq2200One);
    QVERIFY(!test.window->GetAction(CmdUndo)->isEnabled());
    for (size_t step = 1; step < signatures.size(); ++step) {
        QVERIFY(Trigger(test.window->GetAction(CmdRedo)));
        QCOMPARE(test.window->GetKeyboard()->GetContentSignature(), signatures[step]);
    }
    QVERIFY(test.window->GetDocument().HasUnsavedChanges());
}

void FileCommandsTest::editorAndZqtoolWriteTheSameFiles()
{
    const struct
    {
        uint8_t type;
        const char* extension;
        uint8_t item;
    } families[] = {{kTypeZq2200Three, ".zqp", 5},
                    {kTypeZq3300DoubleTwo, ".zqp", 6},
                    {kTypeZq1100V2Single, ".txt", 2},
                    // v1 to v2: both write the new type's own format, which reads back cleanly.
                    {kTypeZq1100V1Single, ".txt", 1}};
    for (const auto& family : families) {
        const std::string original = File("orig") + family.extension;
        const std::string editor = File("editor") + family.extension;
        const std::string tool = File("tool") + family.extension;
        QVERIFY(WriteProject(family.type, original, "Cash"));
        TestWindow test(family.type);
        ScriptedPrompts prompts;
        prompts.answers = {PromptAnswer::Yes};
        QVERIFY(test.window->OpenProject(original));
        test.window->GetAction(CmdConvertFirst + family.item - 1)->trigger();
        QVERIFY(test.window->SaveProject(editor, 0));
        const QStringList result =
            Run(QStringLiteral(ZQ_TOOL_PATH),
                {QStringLiteral("convert"), QString::fromStdString(original), QStringLiteral("--item"),
                 QString::number(family.item), QStringLiteral("--force"), QStringLiteral("-o"),
                 QString::fromStdString(tool)});
        QCOMPARE(result.value(0), QStringLiteral("0"));
        QCOMPARE(ReadAll(editor), ReadAll(tool));
        QCOMPARE(Run(QStringLiteral(ZQ_TOOL_PATH), {QStringLiteral("check"), QString::fromStdString(tool)})
                     .value(0),
                 QStringLiteral("0"));
    }
}

void FileCommandsTest::helpOpensTheGuide()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    TestWindow test(kTypeZq2200One);
    QVERIFY(Trigger(test.window->GetAction(CmdHelpContent)));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(catcher.opened.toLocalFile().endsWith(QStringLiteral("/guide/index.html")));
    // Without a guide, the user is told where it belongs instead of nothing happening.
    ScriptedPrompts prompts;
    test.window->OpenGuide(QString());
    QCOMPARE(prompts.shown.size(), size_t(1));
    QVERIFY2(prompts.shown[0].starts_with("The user guide was not found. It is installed as:\n") &&
                 prompts.shown[0].ends_with("/share/zq-programmer/guide/index.html"),
             prompts.shown[0].c_str());
}

ZQ_UI_TEST(FileCommandsTest)
#include "FileCommandsTest.moc"
