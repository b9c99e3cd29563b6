#include "ui/Application.h"

#include "app/Settings.h"
#include "lang/Texts.h"
#include "ui/EditorWindow.h"
#include "ui/QtSettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

int Application::Run()
{
    const QString program = QCoreApplication::applicationFilePath();
    LoadLanguageFileForProgram(QFile::encodeName(program).toStdString());
    QtSettingsStore store(QFileInfo(program).completeBaseName());
    Settings settings;
    settings.LoadSettings(store);
    int status = 0;
    {
        EditorWindow window(settings, store);
        // A project named on the command line opens at once.
        const QStringList arguments = QCoreApplication::arguments();
        const std::string path =
            arguments.size() > 1 ? QFile::encodeName(arguments[1]).toStdString() : std::string();
        if (window.Initialise(path)) {
            window.show();
            status = QApplication::exec();
        }
    }
    // Write failures are not the user's concern at exit.
    settings.SaveSettings(store);
    store.Sync();
    return status;
}
