// One start of the editor as the program does it, ended at the first paint of the keyboard
// picture. Prints the milliseconds since the process started and the peak resident memory.
// With --minimal, a bare main window with a tab widget instead: the yardstick of the same machine.
// With --type N, that keyboard type (default 4, ZQ-2200 three layouts); with --open FILE, that
// project, named on the command line as a user would. --write-full TYPE FILE writes the largest
// project of a type (every key holding all the codes it can and a 64-character name) and ends.
// With --grab IMAGE, the window as the first paint left it is also saved there, to compare.
#include "app/MemorySettingsStore.h"
#include "app/Settings.h"
#include "model/KeyCell.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"
#include "ui/EditorWindow.h"
#include "ui/KeyboardView.h"

#include <QApplication>
#include <QMainWindow>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

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

// The wall clock when the script started this process (bash's EPOCHREALTIME, in microseconds):
// /proc counts in clock ticks, too coarse for a start of some 20 ms.
double LaunchSeconds()
{
    const char* launched = std::getenv("ZQ_LAUNCHED_AT");
    return launched != nullptr ? std::atof(launched) : 0.0;
}

double WallSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double SecondsSinceBoot()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double MillisecondsSinceStart()
{
    return LaunchSeconds() > 0 ? (WallSeconds() - LaunchSeconds()) * 1000.0
                               : (SecondsSinceBoot() - ProcessStartSeconds()) * 1000.0;
}

// Takes the time once the first paint has been drawn (the queued call runs after it), and ends
// the event loop: closing the window is no part of starting it.
class FirstPaint : public QObject
{
public:
    double m_milliseconds = 0;
    QWidget* m_window = nullptr;
    QString m_grab;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_milliseconds == 0) {
            QMetaObject::invokeMethod(
                qApp,
                [this] {
                    m_milliseconds = MillisecondsSinceStart();
                    if (!m_grab.isEmpty() && m_window != nullptr) {
                        m_window->grab().save(m_grab);
                    }
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

// USB keys take their codes as text; legacy keys as the bytes of their record.
bool FillKey(Keyboard& keyboard, uint8_t type, uint16_t column, uint16_t row, uint8_t layout, KeyCell* cell)
{
    std::string name = "Key " + std::to_string(cell->GetKeyNumber()) + " of layout " +
                       std::to_string(layout) + ", its name as long as a key's name can be";
    name.resize(64, '.');
    const uint8_t capacity = cell->GetCapacity();
    if (type >= kTypeZq1100V1Single) {
        std::vector<uint8_t> record(capacity == 16 ? 18 : capacity + 1, 0);
        for (size_t at = capacity == 16 ? 2 : 1; at < record.size(); ++at) {
            record[at] = 0x1C;
        }
        return cell->LoadFromBytes(record.data(), record.size(), 0) && cell->SetName(name);
    }
    std::string codes = "M1,S-";
    for (uint8_t i = 0; i < capacity; ++i) {
        codes += ",K0x04";
    }
    return keyboard.SetKeyTexts(name, codes, column, row, layout);
}

int WriteFullProject(uint8_t type, const std::string& path)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(type);
    uint16_t columns = 0;
    uint16_t rows = 0;
    if (!keyboard || !keyboard->GetGridSize(&columns, &rows)) {
        return 1;
    }
    for (uint8_t layout = 1; layout <= keyboard->GetLayoutCount(); ++layout) {
        for (uint16_t row = 1; row <= rows; ++row) {
            for (uint16_t column = 1; column <= columns; ++column) {
                KeyCell* cell = nullptr;
                if (keyboard->GetCell(column, row, layout, &cell) &&
                    !FillKey(*keyboard, type, column, row, layout, cell)) {
                    std::fprintf(stderr, "key %d,%d of layout %d refused its programming\n", column, row,
                                 layout);
                    return 1;
                }
            }
        }
    }
    uint8_t format = 0;
    return keyboard->SaveFile(path, &format) ? 0 : 1;
}

int RunMinimal(FirstPaint& filter)
{
    QMainWindow window;
    auto* tabs = new QTabWidget(&window);
    tabs->addTab(new QWidget(tabs), QStringLiteral("One"));
    tabs->addTab(new QWidget(tabs), QStringLiteral("Two"));
    window.setCentralWidget(tabs);
    tabs->widget(0)->installEventFilter(&filter);
    window.show();
    return QApplication::exec();
}

int RunEditor(FirstPaint& filter, uint8_t type, const std::string& path)
{
    MemorySettingsStore store;
    Settings settings;
    settings.m_useDefaultKeyb = true;
    settings.m_defaultKeybID = type;
    EditorWindow window(settings, store);
    window.Initialise(path);
    window.GetPicture()->installEventFilter(&filter);
    filter.m_window = &window;
    window.show();
    window.GetTabs()->setCurrentIndex(1);
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    FirstPaint filter;
    bool minimal = false;
    uint8_t type = kTypeZq2200Three;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--minimal") == 0) {
            minimal = true;
        } else if (std::strcmp(argv[i], "--type") == 0 && i + 1 < argc) {
            type = static_cast<uint8_t>(std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--open") == 0 && i + 1 < argc) {
            path = argv[++i];
        } else if (std::strcmp(argv[i], "--grab") == 0 && i + 1 < argc) {
            filter.m_grab = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--write-full") == 0 && i + 2 < argc) {
            return WriteFullProject(static_cast<uint8_t>(std::atoi(argv[i + 1])), argv[i + 2]);
        }
    }
    if (minimal) {
        RunMinimal(filter);
    } else {
        RunEditor(filter, type, path);
    }
    const double milliseconds = filter.m_milliseconds;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("first paint %.1f ms after process start, peak memory %.1f MB\n", milliseconds,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
