#include "ui/Application.h"

#include "app/CommandLinePath.h"
#include "app/Settings.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "lang/Translations.h"
#include "ui/EditorWindow.h"
#include "ui/MessageBox.h"
#include "ui/QtSettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <string>

namespace {

// The project named on the command line as an absolute path, so that the recent file list names
// the same file from any folder; empty for none.
std::string GetProjectArgument([[maybe_unused]] int argc, [[maybe_unused]] char** argv)
{
#ifdef Q_OS_WIN
    // The wide command line; the file layer takes UTF-8 names.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments[1].isEmpty()) {
        return std::string();
    }
    return QFileInfo(arguments[1]).absoluteFilePath().toUtf8().toStdString();
#else
    // File names are bytes here; a QString would not keep those that are not UTF-8.
    return argc > 1 && argv[1] != nullptr ? MakeAbsolutePath(argv[1], GetCurrentFolder()) : std::string();
#endif
}

} // namespace

void Application::InstallTexts()
{
    const QString program = QCoreApplication::applicationFilePath();
    LoadLanguageFileForProgram(QFile::encodeName(program).toStdString());
    QtSettingsStore store(QFileInfo(program).completeBaseName());
    // Texts are read once: a language chosen in the menu takes effect at the next start.
    const QByteArray wanted = qgetenv("ZQ_LANGUAGE");
    InstallTranslation(
        GetTranslationFolders(QFile::encodeName(QFileInfo(program).absolutePath()).toStdString()),
        wanted.isEmpty() ? Settings::LoadLanguage(store) : wanted.toStdString(),
        QLocale::system().name().toStdString());
}

int Application::Run(int argc, char** argv)
{
    InstallTexts();
    const QString program = QCoreApplication::applicationFilePath();
    QtSettingsStore store(QFileInfo(program).completeBaseName());
    if (!store.IsUsable()) {
        MessageBox(nullptr).ShowMessage(
            LoadTextWithArgument(IDS_MSG_SETTINGS_NOT_A_FILE,
                                 QFile::encodeName(store.GetFileName()).toStdString()),
            IDS_TITLE_WARNING, MessageIcon::Information);
    }
    Settings settings;
    settings.LoadSettings(store);
    int status = 0;
    {
        EditorWindow window(settings, store);
        // A project named on the command line opens at once.
        if (window.Initialise(GetProjectArgument(argc, argv))) {
            window.show();
            status = QApplication::exec();
        }
    }
    // Write failures are not the user's concern at exit.
    settings.SaveSettings(store);
    store.Sync();
    return status;
}
