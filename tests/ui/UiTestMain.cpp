#include "UiTestMain.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct UiTest
{
    const char* name;
    UiTestRun run;
};

std::vector<UiTest>& Registry()
{
    static std::vector<UiTest> tests;
    return tests;
}

} // namespace

bool RegisterUiTest(const char* name, UiTestRun run)
{
    Registry().push_back({name, run});
    return true;
}

bool IsUnderWine()
{
#ifdef Q_OS_WIN
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

int main(int argc, char** argv)
{
#ifdef Q_OS_WIN
    // Wine hands no QT_ variable on to the program. The tests run offscreen, and their log goes to
    // the output where a console would show it, not to a debugger.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FORCE_STDERR_LOGGING", "1");
#endif
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);

    // "zq_ui_tests NumberEditTest -v2" runs that class alone with the options after its name.
    std::vector<char*> arguments(argv, argv + argc);
    const char* only = nullptr;
    if (argc > 1 && std::any_of(Registry().begin(), Registry().end(),
                                [&](const UiTest& test) { return std::strcmp(test.name, argv[1]) == 0; })) {
        only = argv[1];
        arguments.erase(arguments.begin() + 1);
    }
    int failures = 0;
    for (const UiTest& test : Registry()) {
        if (only == nullptr || std::strcmp(test.name, only) == 0) {
            failures += test.run(static_cast<int>(arguments.size()), arguments.data());
        }
    }
    return std::min(failures, 127);
}
