#include "app/Startup.h"

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/Failure.h"
#include "wake/UdpSender.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

#include <exception>

void installJapaneseTranslation(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

int runTarnel(QApplication& app)
{
    WidgetDialogs dialogs;
    SingleInstance instance(SingleInstance::defaultLockPath());
    if (!instance.acquire()) {
        dialogs.inform(nullptr, QStringLiteral("このアプリケーションは既に実行されています。"));
        return 0;
    }

    UdpSender sender;
    SystemClock clock;
    AppServices services;
    services.sender = &sender;
    services.clock = &clock;
    services.dialogs = &dialogs;
    services.dataDir = dataDirectory();

    // The window lives until it is shut down; hiding it keeps the program running.
    QApplication::setQuitOnLastWindowClosed(false);
    MainWindow window(services);
    try {
        window.start();
    } catch (const Failure& failure) {
        dialogs.warn(nullptr, failure.description(), QStringLiteral("Error"));
        return 1;
    } catch (const std::exception& failure) {
        dialogs.warn(nullptr, QString::fromLocal8Bit(failure.what()), QStringLiteral("Error"));
        return 1;
    }

    ShutdownSignals signals;
    QObject::connect(&signals, &ShutdownSignals::shutdownRequested, &window, &MainWindow::quit);
    // The end of the desktop session runs the same shutdown steps.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.shutdown(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &MainWindow::shutdown);
    return QApplication::exec();
}
