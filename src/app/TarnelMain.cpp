#include "app/TarnelMain.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "app/Dialogs.h"
#include "core/Failure.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "app/Tarnel.h"
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

int Main(QApplication& app)
{
    Dialogs dialogs;
    SingleInstance instance(SingleInstance::defaultLockPath());
    if (!instance.acquire()) {
        dialogs.messageBox(nullptr, QStringLiteral("このアプリケーションは既に実行されています。"), QString(),
                           Dialogs::Buttons::Ok, Dialogs::Icon::None, Dialogs::Answer::Ok);
        return 0;
    }

    UdpSender sender;
    SystemClock clock;
    TarnelServices services;
    services.sender = &sender;
    services.clock = &clock;
    services.dialogs = &dialogs;
    services.dataDir = dataDirectory();

    // The window lives until it is unloaded; hiding it keeps the program running.
    QApplication::setQuitOnLastWindowClosed(false);
    Tarnel window(services);
    try {
        window.Form_Load();
    } catch (const Failure& failure) {
        dialogs.messageBox(nullptr, failure.description(), QStringLiteral("Error"), Dialogs::Buttons::Ok,
                           Dialogs::Icon::Exclamation, Dialogs::Answer::Ok);
        return 1;
    } catch (const std::exception& failure) {
        dialogs.messageBox(nullptr, QString::fromLocal8Bit(failure.what()), QStringLiteral("Error"),
                           Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, Dialogs::Answer::Ok);
        return 1;
    }

    ShutdownSignals signals;
    QObject::connect(&signals, &ShutdownSignals::shutdownRequested, &window, &Tarnel::unload);
    // The end of the desktop session runs the same shutdown steps.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.Form_Unload(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &Tarnel::Form_Unload);
    return QApplication::exec();
}
