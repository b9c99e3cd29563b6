// Shared pieces of the widget tests: scripted answers to the window's questions and a window
// on in-memory settings.
#pragma once

#include "app/MemorySettingsStore.h"
#include "app/Settings.h"
#include "ui/EditorWindow.h"
#include "ui/FileDialogs.h"
#include "ui/KeyboardView.h"
#include "ui/MessageBox.h"
#include "ui/SelectKeyboardDialog.h"

#include <QAction>
#include <QProcess>
#include <QTabBar>
#include <QtTest>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A command as the user can give it: only through its action, and only while that is enabled.
inline bool Trigger(QAction* action)
{
    if (action == nullptr || !action->isEnabled()) {
        return false;
    }
    action->trigger();
    return true;
}

// A dialog's test hook for the guard's lifetime: a failing check cannot leave it to later tests.
template <typename Dialog> class HookGuard
{
public:
    explicit HookGuard(typename Dialog::TestHook hook) { Dialog::SetTestHook(std::move(hook)); }
    ~HookGuard() { Dialog::SetTestHook(nullptr); }
    HookGuard(const HookGuard&) = delete;
    HookGuard& operator=(const HookGuard&) = delete;
};

// Answers the window's questions in order and records every text shown.
struct ScriptedPrompts
{
    std::deque<PromptAnswer> answers;
    std::vector<std::string> shown;

    ScriptedPrompts()
    {
        MessageBox::SetTestHook([this](const std::string& text, uint32_t) {
            shown.push_back(text);
            if (answers.empty()) {
                return PromptAnswer::Cancel;
            }
            const PromptAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~ScriptedPrompts() { MessageBox::SetTestHook(nullptr); }
};

struct TestWindow
{
    MemorySettingsStore store;
    Settings settings;
    std::unique_ptr<EditorWindow> window;

    explicit TestWindow(uint8_t typeId)
    {
        settings.m_useDefaultKeyb = true;
        settings.m_defaultKeybID = typeId;
        window = std::make_unique<EditorWindow>(settings, store);
        window->Initialise();
        window->show();
        // Without a window manager (Xvfb) nobody else gives the window the focus.
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    ~TestWindow()
    {
        // Nothing is left to ask about when the test ends.
        MessageBox::SetTestHook([](const std::string&, uint32_t) { return PromptAnswer::No; });
        window.reset();
        MessageBox::SetTestHook(nullptr);
    }
    KeyboardView* Picture() const { return window->GetPicture(); }
    // The title as the desktop shows it, with the unsaved-changes marker resolved.
    QString ShownTitle() const { return window->windowHandle()->title(); }
    // Shows a layout tab; the picture then has the focus.
    void ShowLayout(int layout) const { window->GetTabs()->setCurrentIndex(layout); }
    void Click(GridPoint cell, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::mouseClick(Picture(), Qt::LeftButton, modifiers, Picture()->CellCentre(cell));
    }
};

#ifdef Q_OS_WIN
#define REQUIRE_SIMULATOR(simulator) QSKIP("no native zqsim from a Windows program")
#else
#define REQUIRE_SIMULATOR(simulator) QVERIFY((simulator).IsReady())
#endif

// Answers the file dialogs with a path and a filter, or with Cancel.
struct ScriptedFileDialogs
{
    FileChoice answer;
    int asked = 0;
    FileDialogKind kind = FileDialogKind::OpenProject;
    std::string initial;
    ScriptedFileDialogs()
    {
        SetFileDialogHook(
            [this](FileDialogKind askedKind, const QStringList&, int, const std::string& start) {
                ++asked;
                kind = askedKind;
                initial = start;
                return answer;
            });
    }
    ~ScriptedFileDialogs() { SetFileDialogHook(nullptr); }
};

// zqsim serving keyboards on sockets that ZQ_SIMULATOR names while the object lives: one, "kb",
// or one for each name, options after a name applying to that keyboard alone. A Windows program
// under wine can neither read a native zqsim's output nor stop it: there the real
// zq-programmer.exe programs one instead (windows_editor_test.sh) and these tests are skipped.
class Simulator
{
public:
    Simulator(const QString& folder, const QStringList& options,
              const std::vector<std::pair<QString, QStringList>>& keyboards = {{QStringLiteral("kb"), {}}})
    {
#ifndef Q_OS_WIN
        QStringList arguments = QStringList{QStringLiteral("--print-ready")} + options;
        QStringList sockets;
        for (const auto& [name, own] : keyboards) {
            sockets.append(folder + QLatin1Char('/') + name);
            arguments += QStringList{QStringLiteral("--socket"), sockets.last()} + own;
        }
        m_process.start(QStringLiteral(ZQ_SIM_PATH), arguments);
        m_ready = m_process.waitForReadyRead(10000) && m_process.readAll().startsWith("ready");
        qputenv("ZQ_SIMULATOR", sockets.join(QLatin1Char(':')).toUtf8());
#else
        Q_UNUSED(folder);
        Q_UNUSED(options);
        Q_UNUSED(keyboards);
#endif
    }
    ~Simulator()
    {
        qunsetenv("ZQ_SIMULATOR");
        m_process.terminate();
        m_process.waitForFinished(10000);
    }
    bool IsReady() const
    {
        return m_ready;
    }

private:
    QProcess m_process;
    bool m_ready = false;
};
