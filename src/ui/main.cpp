#include "ui/Application.h"

#include <QApplication>
#include <QIcon>

namespace {

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

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavrin"));
    // Wayland compositors and docks match the window to its menu entry, and so to the icon, by this.
    QApplication::setDesktopFileName(QStringLiteral(ZQ_APP_ID));
    QApplication::setWindowIcon(GetProgramIcon());
    // The arguments as QApplication left them, without its own options.
    return Application::Run(argc, argv);
}
