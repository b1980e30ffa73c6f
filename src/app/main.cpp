#include "app/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnel"));
    // Links the window to its menu entry and icon on Wayland desktops.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tarnel"));
    installJapaneseTranslation(app);
    return runTarnel(app);
}
