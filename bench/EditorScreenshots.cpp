// Grabs the editor window of every keyboard type with a few programmed keys, as it opens and at
// its minimum size, and prints its sizes. The screen is the platform's: for example
// QT_QPA_PLATFORM=offscreen:configfile=screen.json with {"screens": [{"name": "s", "x": 0, "y": 0,
// "width": 800, "height": 600, "logicalDpi": 96, "dpr": 2}]} is a 1600 x 1200 screen at 200 %.
// Usage: EditorScreenshots FOLDER [--dark]
#include "DarkPalette.h"
#include "app/MemorySettingsStore.h"
#include "app/Settings.h"
#include "model/Keyboard.h"
#include "model/KeyboardTypes.h"
#include "ui/EditorWindow.h"
#include "ui/KeyboardView.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QTabBar>

#include <cstdio>
#include <cstring>

namespace {

void Program(Keyboard& keyboard)
{
    keyboard.SetKeyTexts("Coffee", "M1,S+,K0x06", MakeGridPoint(1, 1), 1);
    keyboard.SetKeyTexts("Total", "M1,S+,K0x28", MakeGridPoint(4, 5), 1);
    keyboard.ChangeShape(MakeGridPoint(4, 5), ShapeBelow | ShapeRight | ShapeRightBelow, 1);
    keyboard.SetKeyTexts("Shift", "M2,K0xE1", MakeGridPoint(1, 6), 1);
    keyboard.SetKeyTexts("Layout 2", "L2", MakeGridPoint(5, 1), 1);
    keyboard.SetKeyTexts("Cappuccino grande", "M1,S+,K0x07", MakeGridPoint(2, 3), 1);
    keyboard.ChangeShape(MakeGridPoint(2, 3), ShapeRight, 1);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: EditorScreenshots FOLDER [--dark]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool dark = argc > 2 && std::strcmp(argv[2], "--dark") == 0;
    if (dark) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
    }
    for (uint8_t type = 0; type < kKeyboardTypeCount; ++type) {
        MemorySettingsStore store;
        Settings settings;
        settings.m_useDefaultKeyb = true;
        settings.m_defaultKeybID = type;
        EditorWindow window(settings, store);
        window.Initialise();
        if (type < kTypeZq1100V1Single) {
            Program(*window.GetKeyboard());
        }
        window.show();
        window.GetTabs()->setCurrentIndex(1);
        // Layout requests are posted, and a grown panel posts the window's own.
        for (int round = 0; round < 3; ++round) {
            QApplication::processEvents();
        }
        const QSize minimum = window.minimumSizeHint().expandedTo(window.minimumSize());
        std::printf("type %2d: minimum %4dx%-4d preferred %4dx%-4d shown %4dx%-4d picture %4dx%d\n", type,
                    minimum.width(), minimum.height(), window.sizeHint().width(), window.sizeHint().height(),
                    window.width(), window.height(), window.GetPicture()->width(),
                    window.GetPicture()->height());
        const QString name = QStringLiteral("%1/type%2%3").arg(folder).arg(type).arg(dark ? "-dark" : "");
        window.grab().save(name + QStringLiteral(".png"));
        window.resize(minimum);
        QApplication::processEvents();
        window.grab().save(name + QStringLiteral("-minimum.png"));
    }
    return 0;
}
