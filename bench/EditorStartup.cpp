// One start of the editor as the program does it, ended at the first paint of the keyboard
// picture. Prints the milliseconds since the process started and the peak resident memory.
#include "app/MemorySettingsStore.h"
#include "app/Settings.h"
#include "ui/EditorWindow.h"
#include "ui/KeyboardView.h"

#include <QApplication>
#include <QTabBar>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace {

// Seconds since boot at which this process started, from /proc (clock ticks).
double ProcessStartSeconds()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Field 22 counts from the one after the command name, which may hold blanks.
    std::size_t at = text.rfind(')');
    for (int field = 2; field < 22 && at != std::string::npos; ++field) {
        at = text.find(' ', at + 1);
    }
    return at == std::string::npos
               ? 0
               : std::stod(text.substr(at + 1)) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double SecondsSinceBoot()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    MemorySettingsStore store;
    Settings settings;
    settings.m_useDefaultKeyb = true;
    settings.m_defaultKeybID = 4;
    EditorWindow window(settings, store);
    window.Initialise();
    FirstPaint filter;
    window.GetPicture()->installEventFilter(&filter);
    window.show();
    window.GetTabs()->setCurrentIndex(1);
    QApplication::exec();
    const double milliseconds = (SecondsSinceBoot() - ProcessStartSeconds()) * 1000.0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("first paint %.0f ms after process start, peak memory %.1f MB\n", milliseconds,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
