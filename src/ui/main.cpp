#include "editor/ExportArguments.h"
#include "ui/Application.h"
#include "ui/ExportCommand.h"

#include "lang/StringIds.h"
#include "lang/Texts.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_LINUX
bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}
#endif

// Qt aborts, with advice to reinstall, when its platform finds no display; this says what to do.
bool HasDisplay(int argc, char** argv)
{
#ifdef Q_OS_LINUX
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0) {
            return true; // Qt's own choice
        }
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string name = platform != nullptr ? platform : "";
    if (name.rfind("xcb", 0) == 0 && name.find(';') == std::string::npos) {
        return IsSet("DISPLAY");
    }
    if (name.rfind("wayland", 0) == 0 && name.find(';') == std::string::npos) {
        return IsSet("WAYLAND_DISPLAY");
    }
    return !name.empty() || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
#else
    (void)argc;
    (void)argv;
    return true;
#endif
}

// --help, --version and a missing display are answered before Qt starts: none needs a window.
std::optional<int> AnswerWithoutWindow(int argc, char** argv)
{
    const std::string first = argc > 1 && argv[1] != nullptr ? argv[1] : "";
    if (first == "--help" || first == "-h") {
        // The export routes between the usage and the options, which end with zqtool's.
        std::fputs((LoadTextWithArgument(IDS_START_HELP, "zq-programmer") + "\n" +
                    LoadText(IDS_START_HELP_EXPORT) + LoadText(IDS_START_HELP_EXPORT_MORE) +
                    LoadText(IDS_START_HELP_EXPORT_REPORT) + LoadText(IDS_START_HELP_OPTIONS))
                       .c_str(),
                   stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (first == "--version") {
        std::printf("zq-programmer %s\n", ZQ_VERSION_TEXT);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!HasDisplay(argc, argv)) {
        std::fprintf(stderr, "zq-programmer: %s\n", LoadText(IDS_START_NO_DISPLAY).c_str());
        return 1;
    }
    return std::nullopt;
}

#ifdef Q_OS_WIN
// Wine's DirectWrite draws no text in edit fields; its FreeType engine does. A Windows PC keeps
// Qt's own choice, and so does anyone who names a platform.
void ChooseFontEngineUnderWine(int argc, char** argv)
{
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr ||
        qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        return;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0) {
            return;
        }
    }
    qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
}
#endif

// The icon theme's icon when the program is installed (a theme may restyle it), else the one built
// into the program.
QIcon GetProgramIcon()
{
    QIcon builtIn;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        builtIn.addFile(QStringLiteral(":/icons/%1x%1/apps/" ZQ_APP_ID ".png").arg(size), QSize(size, size));
    }
    return QIcon::fromTheme(QStringLiteral(ZQ_APP_ID), builtIn);
}

// Files for scripts, on the offscreen platform: no window and no display needed.
int RunExportCommand(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    ExportRequest request;
    std::string wrong;
    if (!ParseExportArguments(arguments, request, wrong)) {
        if (!wrong.empty() && wrong != arguments[0]) {
            std::fprintf(stderr, "zq-programmer: %s\n",
                         LoadTextWithArgument(IDS_EXPORT_BAD_ARGUMENT, wrong).c_str());
        }
        std::fputs(
            (LoadText(IDS_EXPORT_USAGE) + LoadText(IDS_EXPORT_USAGE_MORE) + LoadText(IDS_EXPORT_USAGE_REPORT))
                .c_str(),
            stderr);
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // All the arguments, so that Windows answers arguments() from its wide command line.
    int qtArgc = argc;
    QApplication application(qtArgc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavrin"));
#ifdef Q_OS_WIN
    // The wide command line: the file layer takes UTF-8 names, which the ANSI argv cannot hold.
    std::vector<std::string> wide;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        wide.push_back(argument.toUtf8().toStdString());
    }
    if (!ParseExportArguments(wide, request, wrong)) {
        return 64;
    }
#endif
    Application::InstallTexts();
    return RunExport(request);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && IsExportCommand(argv[1])) {
        return RunExportCommand(argc, argv);
    }
    if (const std::optional<int> status = AnswerWithoutWindow(argc, argv)) {
        return *status;
    }
#ifdef Q_OS_WIN
    ChooseFontEngineUnderWine(argc, argv);
#endif
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavrin"));
    // Wayland compositors and docks match the window to its menu entry, and so to the icon, by this.
    QApplication::setDesktopFileName(QStringLiteral(ZQ_APP_ID));
    QApplication::setWindowIcon(GetProgramIcon());
    // The arguments as QApplication left them, without its own options.
    return Application::Run(argc, argv);
}
