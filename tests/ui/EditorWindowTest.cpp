// The editor window driven as a user would: start-up choices, selection by mouse and keyboard,
// shapes, the key menu, titles, status texts and the save question.
#include "UiTestMain.h"
#include "UiTestSupport.h"

#include "editor/EditorCommands.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "lang/Translations.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardTypes.h"
#include "ui/KeyPanel.h"
#include "ui/KeyboardView.h"

#include "KeyCells.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <set>

namespace {

void Program(Keyboard& keyboard, GridPoint cell, const char* name, uint8_t layout = 1)
{
    QVERIFY(keyboard.SetKeyTexts(name, "M1,S+,K0x04", cell, layout));
}

// A single key at (1, 1), a double from (3, 1) to the right, a quad from (1, 4); the first layout shown.
void PlaceKeyShapes(const TestWindow& test)
{
    Keyboard& keyboard = *test.window->GetKeyboard();
    Program(keyboard, At(1, 1), "Single");
    Program(keyboard, At(3, 1), "Double");
    QVERIFY(keyboard.ChangeShape(At(3, 1), ShapeRight, 1));
    Program(keyboard, At(1, 4), "Quad");
    QVERIFY(keyboard.ChangeShape(At(1, 4), ShapeBelow | ShapeRight | ShapeRightBelow, 1));
    test.ShowLayout(1);
}

std::set<uint16_t> EnabledCommands(QMenu& menu)
{
    std::set<uint16_t> enabled;
    for (QAction* action : menu.actions()) {
        if (action->menu() != nullptr) {
            if (action->isEnabled()) {
                for (QAction* inner : action->menu()->actions()) {
                    if (inner->isEnabled()) {
                        enabled.insert(static_cast<uint16_t>(inner->data().toUInt()));
                    }
                }
            }
        } else if (action->isEnabled() && !action->isSeparator()) {
            enabled.insert(static_cast<uint16_t>(action->data().toUInt()));
        }
    }
    return enabled;
}

} // namespace

class EditorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartAsksForTheTypeAndUseAsDefaultEndsStartWithLastUsed();
    void storedStartChoices_data();
    void storedStartChoices();
    void doubleClickInTheTypeListChoosesIt();
    void eachFamilyGetsItsTabsAndStatus_data();
    void eachFamilyGetsItsTabsAndStatus();
    void clicksAndArrowsStepOverDoubleAndQuadKeys();
    void ctrlClickMakesDoubleAndQuadKeysOtherClicksChangeNothing();
    void keyMenuEnablesByKey();
    void editMenuAndKeyMenuAgree();
    void titleShowsFileAndShortenedFolder();
    void statusTextsFollowTheMouse();
    void saveQuestionYesNoCancel();
    void reopeningTheFileShowsWhatTheSaveQuestionWrote();
    void undoWalksBackOverWhatTheFileCannotHold();
    void newProjectAsksTypeThenSaveQuestion();
    void functionListSelectsKeysAndShowsFreeEntries();
    void tabsByKeyboardGiveThePictureTheFocus();
    void screenshots();
    void messageBoxesShowTheirKindsIcon();
    void languageChoiceIsKeptForTheNextStart();
    void findKeyAndF3StepAcrossLayouts();
    void eachLanguageFitsItsWindow_data();
    void eachLanguageFitsItsWindow();
};

void EditorWindowTest::firstStartAsksForTheTypeAndUseAsDefaultEndsStartWithLastUsed()
{
    MemorySettingsStore store;
    // "Start with last used" on, but with a type no catalogue has: the user is asked.
    store.WriteValue("Configuration", "UseLastKeyb", "1");
    store.WriteValue("Configuration", "LastKeybID", "200");
    Settings settings;
    settings.LoadSettings(store);
    int asked = 0;
    const HookGuard<SelectKeyboardDialog> hook([&asked](SelectKeyboardDialog& dialog) {
        ++asked;
        QCOMPARE(dialog.GetList()->count(), 11);
        QCOMPARE(dialog.GetList()->item(2)->text(), QStringLiteral("ZQ-3300 single (two layouts)"));
        dialog.GetList()->setCurrentRow(2);
        dialog.GetUseAsDefault()->setChecked(true);
        dialog.accept();
    });
    EditorWindow window(settings, store);
    QVERIFY(window.Initialise());
    QCOMPARE(asked, 1);
    QCOMPARE(window.GetKeyboard()->GetTypeId(), 2);
    QVERIFY(settings.m_useDefaultKeyb);
    QCOMPARE(settings.m_defaultKeybID, 2);
    QVERIFY(!settings.m_useLastKeyb);
    QCOMPARE(settings.m_lastKeybID, 2);
    QVERIFY(window.GetAction(CmdUseDefaultKeyb)->isChecked());
    QVERIFY(!window.GetAction(CmdUseLastKeyb)->isChecked());
    // The defaults of a first run.
    QVERIFY(window.GetAction(CmdFastEdit)->isChecked());
    QVERIFY(window.GetAction(CmdConfirmDelete)->isChecked());
}

void EditorWindowTest::storedStartChoices_data()
{
    QTest::addColumn<QString>("useDefault");
    QTest::addColumn<QString>("defaultId");
    QTest::addColumn<QString>("useLast");
    QTest::addColumn<QString>("lastId");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<int>("type");
    // The dialog, when asked, answers type 3.
    QTest::newRow("default 11 is no type") << "1"
                                           << "11"
                                           << "0"
                                           << "0" << true << 3;
    QTest::newRow("last used in hex") << "0"
                                      << "0"
                                      << "1"
                                      << "0x05" << false << 5;
    QTest::newRow("default before last") << "1"
                                         << "7"
                                         << "1"
                                         << "5" << false << 7;
    QTest::newRow("nothing stored") << ""
                                    << ""
                                    << ""
                                    << "" << true << 3;
}

void EditorWindowTest::storedStartChoices()
{
    QFETCH(QString, useDefault);
    QFETCH(QString, defaultId);
    QFETCH(QString, useLast);
    QFETCH(QString, lastId);
    QFETCH(bool, asks);
    QFETCH(int, type);
    MemorySettingsStore store;
    store.WriteValue("Configuration", "UseDefaultKeyb", useDefault.toStdString());
    store.WriteValue("Configuration", "DefaultKeybID", defaultId.toStdString());
    store.WriteValue("Configuration", "UseLastKeyb", useLast.toStdString());
    store.WriteValue("Configuration", "LastKeybID", lastId.toStdString());
    Settings settings;
    settings.LoadSettings(store);
    bool asked = false;
    const HookGuard<SelectKeyboardDialog> hook([&asked](SelectKeyboardDialog& dialog) {
        asked = true;
        dialog.GetList()->setCurrentRow(3);
        dialog.accept();
    });
    EditorWindow window(settings, store);
    QVERIFY(window.Initialise());
    QCOMPARE(asked, asks);
    QCOMPARE(int(window.GetKeyboard()->GetTypeId()), type);
    QVERIFY(!settings.m_useDefaultKeyb || useDefault == QStringLiteral("1"));
}

void EditorWindowTest::doubleClickInTheTypeListChoosesIt()
{
    SelectKeyboardDialog dialog(nullptr);
    dialog.show();
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("prompt"))->text(),
             QStringLiteral("Which keyboard is the new project for?"));
    QListWidget* list = dialog.GetList();
    const QRect third = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.m_selectedType, 2);
    QVERIFY(!dialog.m_useAsDefault);
}

void EditorWindowTest::eachFamilyGetsItsTabsAndStatus_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QString>("typeName");
    QTest::newRow("ZQ-2200") << int(kTypeZq2200Three)
                             << QStringList{"Configuration", "First Layout", "Second Layout", "Third Layout"}
                             << "ZQ-2200 (three layouts)";
    QTest::newRow("ZQ-3300") << int(kTypeZq3300DoubleTwo)
                             << QStringList{"Configuration", "Right side (1)", "Left side (1)",
                                            "Right side (2)", "Left side (2)"}
                             << "ZQ-3300 double (two layouts)";
    QTest::newRow("ZQ-1100") << int(kTypeZq1100V2Double)
                             << QStringList{"Configuration", "Left side", "Right side"}
                             << "ZQ-1100 v2 double (16 scans)";
}

void EditorWindowTest::eachFamilyGetsItsTabsAndStatus()
{
    QFETCH(int, type);
    QFETCH(QStringList, tabs);
    QFETCH(QString, typeName);
    TestWindow test(static_cast<uint8_t>(type));
    QStringList shown;
    for (int i = 0; i < test.window->GetTabs()->count(); ++i) {
        shown.append(test.window->GetTabs()->tabText(i));
    }
    QCOMPARE(shown, tabs);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 0);
    QCOMPARE(test.window->GetStatusText(0), typeName);
    QCOMPARE(test.ShownTitle(), QStringLiteral("no name - ZQ programmer"));
    // The whole picture and the panel are on screen.
    test.ShowLayout(1);
    const QRect picture(test.Picture()->mapTo(test.window.get(), QPoint(0, 0)), test.Picture()->size());
    QVERIFY(test.window->rect().contains(picture));
    const KeyRect keys = GetPictureRect(*test.window->GetKeyboard(), test.Picture()->GetCellSize());
    QVERIFY(test.Picture()->rect().contains(
        QRect(test.Picture()->GetPictureOrigin(), QSize(keys.width, keys.height))));
    QVERIFY(test.Picture()->GetCellSize() >= kCellSize);
}

void EditorWindowTest::clicksAndArrowsStepOverDoubleAndQuadKeys()
{
    TestWindow test(kTypeZq2200Three);
    Keyboard& keyboard = *test.window->GetKeyboard();
    Program(keyboard, At(2, 1), "Wide");
    QVERIFY(keyboard.ChangeShape(At(2, 1), ShapeRight, 1));
    Program(keyboard, At(4, 3), "Big");
    QVERIFY(keyboard.ChangeShape(At(4, 3), ShapeBelow | ShapeRight | ShapeRightBelow, 1));
    test.ShowLayout(1);
    QVERIFY(test.Picture()->hasFocus());
    QCOMPARE(test.window->GetCurrentKey(), At(1, 1));

    test.Click(At(3, 1));
    QCOMPARE(test.window->GetCurrentKey(), At(3, 1));
    QCOMPARE(test.window->GetPanel()->GetKeyName()->text(), QStringLiteral("Wide"));
    QCOMPARE(test.Picture()->accessibleName(), QStringLiteral("Wide"));
    QTest::keyClick(test.Picture(), Qt::Key_Right);
    QCOMPARE(test.window->GetCurrentKey(), At(4, 1));
    QTest::keyClick(test.Picture(), Qt::Key_Left);
    QTest::keyClick(test.Picture(), Qt::Key_Left);
    // The double key is one step.
    QCOMPARE(test.window->GetCurrentKey(), At(1, 1));

    test.Click(At(5, 4));
    QCOMPARE(test.window->GetPanel()->GetKeyName()->text(), QStringLiteral("Big"));
    QTest::keyClick(test.Picture(), Qt::Key_Up);
    // The quad key is one step.
    QCOMPARE(test.window->GetCurrentKey(), At(5, 2));
    QTest::keyClick(test.Picture(), Qt::Key_Down);
    QTest::keyClick(test.Picture(), Qt::Key_Down);
    QCOMPARE(test.window->GetCurrentKey(), At(5, 5));
    // ">>" and "<<" walk the keys in reading order.
    test.window->GetPanel()->GetNextKey()->click();
    QCOMPARE(test.window->GetCurrentKey(), At(1, 6));
    test.window->GetPanel()->GetPreviousKey()->click();
    QCOMPARE(test.window->GetCurrentKey(), At(5, 5));
    // Enter in fast edit starts capturing into the first free code field.
    test.Picture()->setFocus();
    QTest::keyClick(test.Picture(), Qt::Key_Return);
    QVERIFY(test.window->GetPanel()->GetCodeField(1)->hasFocus());
    QVERIFY(test.window->GetEditSession().IsEditing());
}

void EditorWindowTest::ctrlClickMakesDoubleAndQuadKeysOtherClicksChangeNothing()
{
    TestWindow test(kTypeZq2200One);
    Keyboard& keyboard = *test.window->GetKeyboard();
    Program(keyboard, At(2, 2), "Ctrl");
    Program(keyboard, At(4, 6), "Diagonal");
    Program(keyboard, At(2, 7), "Alone");
    test.ShowLayout(1);

    test.Click(At(2, 2));
    test.Click(At(3, 2), Qt::ControlModifier);
    QCOMPARE(keyboard.GetShapeFlags(2, 2, 1), uint8_t(ShapeRight));
    test.Click(At(2, 3), Qt::ControlModifier);
    QCOMPARE(keyboard.GetShapeFlags(2, 2, 1), uint8_t(ShapeBelow | ShapeRight | ShapeRightBelow));

    test.Click(At(4, 6));
    test.Click(At(5, 7), Qt::ControlModifier);
    QCOMPARE(keyboard.GetShapeFlags(4, 6, 1), uint8_t(ShapeBelow | ShapeRight | ShapeRightBelow));

    // Two cells away, with Shift, with Ctrl+Shift, and next to an empty key: nothing changes.
    test.Click(At(2, 7));
    test.Click(At(4, 7), Qt::ControlModifier);
    test.Click(At(1, 7), Qt::ShiftModifier);
    test.Click(At(1, 7), Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(keyboard.GetShapeFlags(2, 7, 1), uint8_t(0));
    QCOMPARE(test.window->GetCurrentKey(), At(2, 7));
    test.Click(At(1, 8));
    test.Click(At(2, 8), Qt::ControlModifier);
    QCOMPARE(keyboard.GetShapeFlags(1, 8, 1), uint8_t(0));
}

void EditorWindowTest::keyMenuEnablesByKey()
{
    TestWindow test(kTypeZq2200One);
    Keyboard& keyboard = *test.window->GetKeyboard();
    PlaceKeyShapes(test);

    const std::set<uint16_t> always{CmdProgramKey, CmdClearAll};
    const std::set<uint16_t> programmed{CmdProgramKey, CmdCopy, CmdCut, CmdClearKey, CmdClearAll};
    auto enabledAt = [&test](GridPoint cell) {
        test.window->SelectKeyAt(cell);
        return EnabledCommands(*test.window->BuildKeyMenu());
    };
    QCOMPARE(enabledAt(At(5, 8)), always);
    QCOMPARE(enabledAt(At(2, 2)), always);
    // A single key between others: every direction is free, the upper corners are not.
    Program(keyboard, At(2, 2), "Middle");
    std::set<uint16_t> middle = programmed;
    middle.insert(
        {CmdDoubleRight, CmdDoubleLeft, CmdDoubleDown, CmdDoubleUp, CmdQuadRightDown, CmdQuadLeftDown});
    QCOMPARE(enabledAt(At(2, 2)), middle);

    // A double key offers Single and widening into a quad, not the corner commands.
    test.window->SelectKeyAt(At(4, 1));
    std::unique_ptr<QMenu> doubleMenu = test.window->BuildKeyMenu();
    QVERIFY(doubleMenu->findChild<QMenu*>(QStringLiteral("popupQuadFromDouble")) != nullptr);
    QVERIFY(doubleMenu->findChild<QMenu*>(QStringLiteral("popupQuadCorners")) == nullptr);
    std::set<uint16_t> wide = programmed;
    wide.insert({CmdSingle, CmdQuadDown});
    QCOMPARE(enabledAt(At(4, 1)), wide);

    // A quad key goes back to a single key or to a double in any direction; no corners.
    std::set<uint16_t> quad = programmed;
    quad.insert({CmdSingle, CmdDoubleRight, CmdDoubleLeft, CmdDoubleDown, CmdDoubleUp});
    QCOMPARE(enabledAt(At(2, 5)), quad);

    // Single makes the quad one key again.
    test.window->SelectKeyAt(At(1, 4));
    QVERIFY(Trigger(test.window->GetAction(CmdSingle)));
    QCOMPARE(keyboard.GetShapeFlags(1, 4, 1), uint8_t(0));
}

void EditorWindowTest::editMenuAndKeyMenuAgree()
{
    TestWindow test(kTypeZq2200One);
    PlaceKeyShapes(test);
    QMenu* edit = nullptr;
    for (QAction* item : test.window->menuBar()->actions()) {
        if (item->menu() != nullptr && item->menu()->actions().contains(test.window->GetAction(CmdCopy))) {
            edit = item->menu();
        }
    }
    QVERIFY(edit != nullptr);
    const std::set<uint16_t> keyCommands{CmdCopy, CmdCut, CmdPaste, CmdSwap, CmdPasteFromList, CmdClearKey};
    auto only = [&keyCommands](const std::set<uint16_t>& commands) {
        std::set<uint16_t> kept;
        std::set_intersection(commands.begin(), commands.end(), keyCommands.begin(), keyCommands.end(),
                              std::inserter(kept, kept.begin()));
        return kept;
    };
    const GridPoint keys[] = {At(5, 8), At(1, 1), At(3, 1), At(1, 4)}; // empty, single, double, quad
    for (const bool clipboardFilled : {false, true}) {
        if (clipboardFilled) {
            test.window->SelectKeyAt(At(1, 1));
            QVERIFY(Trigger(test.window->GetAction(CmdCopy)));
        }
        for (const GridPoint key : keys) {
            test.window->SelectKeyAt(key);
            emit edit->aboutToShow();
            const std::set<uint16_t> inEdit = only(EnabledCommands(*edit));
            QCOMPARE(inEdit, only(EnabledCommands(*test.window->BuildKeyMenu())));
            if (key == At(5, 8)) {
                // An empty key takes only a paste, and only from a filled clipboard.
                QCOMPARE(inEdit, clipboardFilled ? std::set<uint16_t>{CmdPaste} : std::set<uint16_t>{});
            }
        }
    }
}

void EditorWindowTest::titleShowsFileAndShortenedFolder()
{
    TestWindow test(kTypeZq2200One);
    test.window->UpdateTitle("/home/shop/projects/keyboards/zq/k.zqp");
    QCOMPARE(test.ShownTitle(), QStringLiteral("k.zqp [/home/shop/.../keyboards/zq/] - ZQ programmer"));
    test.window->UpdateTitle("k.zqp");
    QCOMPARE(test.ShownTitle(), QStringLiteral("k.zqp - ZQ programmer"));
}

void EditorWindowTest::statusTextsFollowTheMouse()
{
    TestWindow test(kTypeZq2200Three);
    // The first start shows the Configuration tab: the status bar says where the keys are.
    QCOMPARE(test.window->GetTabs()->currentIndex(), 0);
    QCOMPARE(test.window->GetStatusText(2),
             QStringLiteral("To program keys, choose a layout tab above, then a key on its picture."));
    Program(*test.window->GetKeyboard(), At(2, 1), "Total", 2);
    test.ShowLayout(2);
    QCOMPARE(test.window->GetStatusText(2), QStringLiteral("Name: ----"));
    QTest::mouseMove(test.Picture(), test.Picture()->CellCentre(At(2, 1)));
    QTRY_COMPARE(test.window->GetStatusText(2), QStringLiteral("Name: Total"));
    QCOMPARE(test.window->GetStatusText(1), QStringLiteral("Number: 42"));
    QTest::mouseMove(test.Picture(), QPoint(1, 1));
    QTRY_COMPARE(test.window->GetStatusText(2), QStringLiteral("Name: ----"));
    QCOMPARE(test.window->GetStatusText(1), QStringLiteral("Number: ----"));
}

void EditorWindowTest::reopeningTheFileShowsWhatTheSaveQuestionWrote()
{
    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath(QStringLiteral("shop.zqp")).toStdString();
    TestWindow test(kTypeZq2200One);
    QVERIFY(test.window->SaveProject(path, 0));
    QVERIFY(test.window->OpenProject(path));
    Program(*test.window->GetKeyboard(), At(1, 1), "Tea");
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(test.window->OpenProject(path));
    QCOMPARE(prompts.shown, std::vector<std::string>{"Do you want to save current file?"});
    KeyCell* cell = nullptr;
    QVERIFY(test.window->GetKeyboard()->GetCell(At(1, 1), &cell));
    QCOMPARE(cell->GetName(), std::string("Tea"));
    QVERIFY(!test.window->GetDocument().HasUnsavedChanges());
}

void EditorWindowTest::undoWalksBackOverWhatTheFileCannotHold()
{
    TestWindow test(kTypeZq1100V1Double);
    EditorWindow& window = *test.window;
    test.ShowLayout(1);
    // Mode 3 of an empty key: the layout file keeps no mode for it, so no snapshot does.
    test.Click(At(4, 1));
    window.GetPanel()->GetModeButton(3)->click();
    QVERIFY(window.GetKeyboard()->SetKeyTexts("Five", "I28; 10", At(5, 1), 1));
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(Trigger(window.GetAction(CmdClearAll)));
    QVERIFY(Trigger(window.GetAction(CmdUndo)));
    QVERIFY(window.GetAction(CmdRedo)->isEnabled());
    QVERIFY(Trigger(window.GetAction(CmdUndo)));
    KeyCell* cell = nullptr;
    QVERIFY(window.GetKeyboard()->GetCell(At(5, 1), &cell));
    QVERIFY(!cell->IsProgrammed());
    QVERIFY(Trigger(window.GetAction(CmdRedo)));
    QVERIFY(Trigger(window.GetAction(CmdRedo)));
    QVERIFY(window.GetKeyboard()->GetCell(At(5, 1), &cell));
    QVERIFY(!cell->IsProgrammed());
    QVERIFY(!window.GetAction(CmdRedo)->isEnabled());
}

void EditorWindowTest::saveQuestionYesNoCancel()
{
    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath(QStringLiteral("shop.zqp")).toStdString();
    TestWindow test(kTypeZq2200One);
    QVERIFY(test.window->SaveProject(path, 0));
    test.window->UpdateTitle(path);
    Program(*test.window->GetKeyboard(), At(1, 1), "Changed");

    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::Cancel, PromptAnswer::No};
    QVERIFY(!test.window->CloseProject());
    QVERIFY(test.window->GetKeyboard() != nullptr);
    QCOMPARE(prompts.shown, std::vector<std::string>{"Do you want to save current file?"});
    // No: the project goes without saving; the file keeps the empty project.
    QVERIFY(test.window->CreateProject(kTypeZq2200One));
    const QByteArray empty = [&path] {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QVERIFY(!empty.contains("Changed"));

    // Yes saves to the project's file before it goes.
    QVERIFY(test.window->SaveProject(path, 0));
    test.window->UpdateTitle(path);
    Program(*test.window->GetKeyboard(), At(1, 1), "Saved");
    prompts.answers = {PromptAnswer::Yes};
    QVERIFY(test.window->CloseProject());
    {
        // Closed before the next save: Windows replaces no file that is open.
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("1:M1,S+,K0x04,N=Saved"));
    }
    // A letter-case change of a name is a change.
    QVERIFY(test.window->CreateProject(kTypeZq2200One));
    Program(*test.window->GetKeyboard(), At(1, 1), "name");
    QVERIFY(test.window->SaveProject(path, 0));
    Program(*test.window->GetKeyboard(), At(1, 1), "Name");
    prompts.shown.clear();
    prompts.answers = {PromptAnswer::Cancel};
    QVERIFY(!test.window->CloseProject());
    QCOMPARE(prompts.shown.size(), size_t(1));
}

void EditorWindowTest::newProjectAsksTypeThenSaveQuestion()
{
    TestWindow test(kTypeZq2200One);
    Program(*test.window->GetKeyboard(), At(1, 1), "Keep");
    ScriptedPrompts prompts;
    int chosen = -1;
    const HookGuard<SelectKeyboardDialog> hook([&chosen](SelectKeyboardDialog& dialog) {
        if (chosen < 0) {
            dialog.reject();
            return;
        }
        dialog.GetList()->setCurrentRow(chosen);
        dialog.accept();
    });
    // A cancelled choice asks nothing and keeps the project.
    QVERIFY(Trigger(test.window->GetAction(CmdNew)));
    QVERIFY(prompts.shown.empty());
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq2200One);
    // Cancel in the save question keeps it too; No gives the new project.
    chosen = 8;
    prompts.answers = {PromptAnswer::Cancel, PromptAnswer::No};
    QVERIFY(Trigger(test.window->GetAction(CmdNew)));
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), kTypeZq2200One);
    QVERIFY(Trigger(test.window->GetAction(CmdNew)));
    QCOMPARE(prompts.shown.size(), size_t(2));
    QCOMPARE(test.window->GetKeyboard()->GetTypeId(), 8);
    QCOMPARE(test.window->GetStatusText(0), QStringLiteral("ZQ-1100 v1 double (3 scans)"));
}

void EditorWindowTest::functionListSelectsKeysAndShowsFreeEntries()
{
    TestWindow test(kTypeZq2200Three);
    Keyboard& keyboard = *test.window->GetKeyboard();
    Program(keyboard, At(2, 2), "Total", 3);
    QVERIFY(keyboard.SetKeyTexts("Void", "M1,S+,K0x05", At(3, 3), 1));
    test.window->FillFunctionListFromAllKeys();
    QComboBox* combo = test.window->GetPanel()->GetFunctionList();
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), QStringLiteral("Total *"));
    QCOMPARE(combo->currentIndex(), -1);

    combo->setCurrentIndex(0);
    emit combo->activated(0);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 3);
    QCOMPARE(test.window->GetCurrentKey(), At(2, 2));
    QVERIFY(test.Picture()->hasFocus());

    // A cleared key leaves its programming in the list as a free entry.
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::Yes};
    test.ShowLayout(1);
    test.window->SelectKeyAt(At(3, 3));
    QVERIFY(Trigger(test.window->GetAction(CmdClearKey)));
    QCOMPARE(prompts.shown, std::vector<std::string>{"Clear key Void?"});
    QCOMPARE(combo->itemText(1), QStringLiteral("Void"));
    emit combo->activated(1);
    QCOMPARE(test.window->GetCurrentKey(), GridPoint(0));
    QCOMPARE(test.window->GetPanel()->GetKeyName()->text(), QStringLiteral("Void"));
    QCOMPARE(test.window->GetPanel()->GetKeyNumber()->text(), QString());
}

void EditorWindowTest::tabsByKeyboardGiveThePictureTheFocus()
{
    TestWindow test(kTypeZq2200Three);
    QApplication::setActiveWindow(test.window.get());
    QTest::keyClick(test.window.get(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 1);
    QVERIFY(test.Picture()->hasFocus());
    QTest::keyClick(test.Picture(), Qt::Key_PageDown, Qt::ControlModifier);
    QTest::keyClick(test.Picture(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 3);
    QTest::keyClick(test.Picture(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 0);
    QTest::keyClick(test.window.get(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 3);
    // Every control names itself for a screen reader.
    for (QWidget* widget : test.window->findChildren<QWidget*>()) {
        if (widget->focusPolicy() != Qt::NoFocus && widget->isVisible() &&
            qobject_cast<QMenu*>(widget) == nullptr) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(accessible != nullptr && !accessible->text(QAccessible::Name).isEmpty(),
                     qPrintable(widget->objectName()));
        }
    }
}

void EditorWindowTest::screenshots()
{
    QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
    {
        TestWindow test(kTypeZq2200Three);
        Keyboard& keyboard = *test.window->GetKeyboard();
        QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", At(1, 1), 1));
        QVERIFY(keyboard.SetKeyTexts("Total", "M1,S+,K0x28", At(4, 7), 1));
        QVERIFY(keyboard.ChangeShape(At(4, 7), ShapeBelow | ShapeRight | ShapeRightBelow, 1));
        QVERIFY(keyboard.SetKeyTexts("Shift", "M2,K0xE1", At(1, 8), 1));
        QVERIFY(keyboard.SetKeyTexts("Layout 2", "L2", At(5, 1), 1));
        QVERIFY(keyboard.SetKeyTexts("Cappuccino grande", "M1,S+,K0x07", At(2, 3), 1));
        QVERIFY(keyboard.ChangeShape(At(2, 3), ShapeRight, 1));
        test.window->FillFunctionListFromAllKeys();
        test.ShowLayout(1);
        test.Click(At(2, 3));
        QVERIFY(test.window->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/zq2200.png")));
        // What the picture must show: a cap's fill says programmed or empty, its kind, and the
        // selection; a quad key is one cap over its four cells.
        KeyboardView* picture = test.Picture();
        const QImage image = picture->grab().toImage();
        const QPoint pitch(picture->CellCentre(At(2, 1)).x() - picture->CellCentre(At(1, 1)).x(),
                           picture->CellCentre(At(1, 2)).y() - picture->CellCentre(At(1, 1)).y());
        // A fifth of a cell: inside the rim and away from the label, whatever the cells' size.
        const QPoint inset = pitch / 5;
        auto fill = [&](GridPoint cell, QPoint offset = QPoint()) {
            // Near the cap's upper left corner.
            const QPoint corner = picture->CellCentre(cell) - pitch / 2 + inset;
            return image.pixelColor(offset.isNull() ? corner : picture->CellCentre(cell) + offset);
        };
        const QColor empty = fill(At(3, 1));
        const QColor ordinary = fill(At(1, 1));
        QCOMPARE(fill(At(2, 2)), empty);
        QVERIFY(ordinary != empty);
        QVERIFY(fill(At(5, 1)) != ordinary); // a layout switch key
        QVERIFY(fill(At(1, 8)) != ordinary); // a modifier key
        QVERIFY(fill(At(2, 3)) != ordinary); // selected, with the focus
        const QPoint lowerRight = pitch / 2 - inset;
        QCOMPARE(fill(At(3, 3), lowerRight), fill(At(2, 3)));
        const QColor quad = fill(At(4, 7));
        QCOMPARE(fill(At(5, 8), lowerRight), quad);
        // Where two cells of the quad meet there is no gap between caps.
        QCOMPARE(fill(At(4, 7), QPoint(pitch.x() / 2, inset.y() - pitch.y() / 2)), quad);
        test.ShowLayout(0);
        QVERIFY(test.window->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/zq2200-configuration.png")));
    }
    TestWindow test(kTypeZq3300DoubleTwo);
    Keyboard& keyboard = *test.window->GetKeyboard();
    QVERIFY(keyboard.SetKeyTexts("Tea", "M1,S+,K0x17", At(1, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Cash", "M1,S+,K0x06", At(7, 6), 1));
    QVERIFY(keyboard.ChangeShape(At(7, 6), ShapeBelow | ShapeRight | ShapeRightBelow, 1));
    QVERIFY(keyboard.SetKeyTexts("Left", "L2", At(8, 1), 1));
    test.ShowLayout(1);
    test.Click(At(8, 7));
    QVERIFY(test.window->grab().save(QStringLiteral(ZQ_SCREENSHOT_DIR "/zq3300-double.png")));
}

void EditorWindowTest::messageBoxesShowTheirKindsIcon()
{
    // Real modal boxes, read and closed from inside their own event loop.
    const std::pair<MessageIcon, QMessageBox::Icon> kinds[] = {
        {MessageIcon::Error, QMessageBox::Critical},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::None, QMessageBox::NoIcon}};
    for (const auto& [kind, expected] : kinds) {
        QMessageBox::Icon shown = QMessageBox::Warning;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->icon();
                box->accept();
            }
        });
        MessageBox(nullptr).ShowMessage("V1.07", IDS_BUTTON_OK, kind);
        QCOMPARE(shown, expected);
    }
}

void EditorWindowTest::findKeyAndF3StepAcrossLayouts()
{
    TestWindow test(kTypeZq2200Three);
    Keyboard& keyboard = *test.window->GetKeyboard();
    QVERIFY(keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", At(3, 1), 1));
    QVERIFY(keyboard.SetKeyTexts("Iced coffee", "M1,S+,K0x68", At(2, 2), 2));
    test.ShowLayout(1);
    test.Click(At(1, 1));
    QVERIFY(!test.window->GetAction(CmdFindNext)->isEnabled());
    // The real dialog, answered from inside its own event loop.
    QString asked;
    QTimer::singleShot(0, [&asked] {
        if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            asked = dialog->labelText();
            dialog->setTextValue(QStringLiteral("COFFEE"));
            dialog->accept();
        }
    });
    QTest::keyClick(test.Picture(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(asked, QStringLiteral("Name of the key, or a code it sends:"));
    QCOMPARE(test.window->GetTabs()->currentIndex(), 1);
    QCOMPARE(test.window->GetCurrentKey(), At(3, 1));
    QVERIFY(test.window->statusBar()->currentMessage().contains(QStringLiteral("Key 1 of 2: Coffee")));
    // Without a window manager nobody gives the window back its activation.
    QApplication::setActiveWindow(test.window.get());
    QVERIFY(QTest::qWaitForWindowActive(test.window.get()));
    QTest::keyClick(test.Picture(), Qt::Key_F3);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 2);
    QCOMPARE(test.window->GetCurrentKey(), At(2, 2));
    QVERIFY(test.Picture()->hasFocus());
    QTest::keyClick(test.Picture(), Qt::Key_F3);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 1);
    QTest::keyClick(test.Picture(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(test.window->GetTabs()->currentIndex(), 2);
    QCOMPARE(test.window->GetCurrentKey(), At(2, 2));
}

void EditorWindowTest::languageChoiceIsKeptForTheNextStart()
{
    TestWindow test(kTypeZq2200One);
    ScriptedPrompts prompts;
    const auto* menu = test.window->findChild<QMenu*>(QStringLiteral("languageMenu"));
    QVERIFY(menu != nullptr);
    QStringList shown;
    QAction* english = nullptr;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            shown.append(action->text());
            english = action->data().toString() == QLatin1String("en") ? action : english;
        }
    }
    // The desktop's language, chosen until the user picks another, then English and the tables
    // beside the program, each by its own name.
    QCOMPARE(shown.mid(0, 2), (QStringList{"The desktop's language", "English (en)"}));
    QVERIFY(menu->actions().first()->isChecked());
    for (const QString& text : shown.mid(2)) {
        QVERIFY2(text.endsWith(QLatin1Char(')')) && !text.startsWith(QLatin1Char('(')), qPrintable(text));
    }
    QVERIFY(Trigger(english));
    QCOMPARE(Settings::LoadLanguage(test.store), std::string("en"));
    QCOMPARE(prompts.shown, std::vector<std::string>{
                                "The texts change to the chosen language when the program starts next."});
}

void EditorWindowTest::eachLanguageFitsItsWindow_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << QStringLiteral("en");
    const std::vector<std::string> installed = ListTranslations(
        GetTranslationFolders(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString()));
    QVERIFY(installed.size() >= 5);
    for (const std::string& language : installed) {
        QTest::newRow(language.c_str()) << QString::fromStdString(language);
    }
}

void EditorWindowTest::eachLanguageFitsItsWindow()
{
    QFETCH(QString, language);
    if (IsUnderWine()) {
        QSKIP("wine's fonts");
    }
    const auto builtIn = qScopeGuard([] { InstallResourceStrings({}); });
    QCOMPARE(InstallTranslation(GetTranslationFolders(
                                    QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString()),
                                language.toStdString(), std::string()),
             language == QLatin1String("en") ? std::string() : language.toStdString());
    TestWindow test(kTypeZq2200Three);
    // Within each menu an accelerator letter leads to one item only.
    for (const QMenu* menu : test.window->findChildren<QMenu*>()) {
        QStringList letters;
        for (const QAction* action : menu->actions()) {
            const QString text = action->text().section(QLatin1Char('\t'), 0, 0).remove(QStringLiteral("&&"));
            QVERIFY2(text.count(QLatin1Char('&')) <= 1, qPrintable(text));
            const qsizetype at = text.indexOf(QLatin1Char('&'));
            if (at >= 0 && at + 1 < text.size() && action->isVisible()) {
                const QString letter = text.mid(at + 1, 1).toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(menu->title() + QStringLiteral(": ") + text));
                letters.append(letter);
            }
        }
    }
    // No text is cut off, on the Configuration tab and on a layout with the key panel.
    for (const int tab : {0, 1}) {
        test.ShowLayout(tab);
        test.window->GetKeyboard()->SetKeyTexts("Coffee", "M1,S+,K0x06", At(1, 1), 1);
        if (tab == 1) {
            test.Click(At(1, 1));
        }
        QApplication::processEvents();
        for (const QWidget* widget : test.window->findChildren<QWidget*>()) {
            if (!widget->isVisible() || widget->property("text").toString().isEmpty() ||
                (qobject_cast<const QLabel*>(widget) == nullptr &&
                 qobject_cast<const QAbstractButton*>(widget) == nullptr)) {
                continue;
            }
            const auto* label = qobject_cast<const QLabel*>(widget);
            const bool fits = label != nullptr && label->wordWrap()
                                  ? label->heightForWidth(label->width()) <= label->height()
                                  : widget->sizeHint().width() <= widget->width();
            QVERIFY2(fits,
                     qPrintable(
                         widget->objectName() + QStringLiteral(" \"") + widget->property("text").toString() +
                         QStringLiteral("\" %1 < %2").arg(widget->width()).arg(widget->sizeHint().width())));
        }
        QDir().mkpath(QStringLiteral(ZQ_SCREENSHOT_DIR));
        QVERIFY(test.window->grab().save(
            QStringLiteral(ZQ_SCREENSHOT_DIR "/language-%1-%2.png").arg(language).arg(tab)));
    }
}

ZQ_UI_TEST(EditorWindowTest)
#include "EditorWindowTest.moc"
