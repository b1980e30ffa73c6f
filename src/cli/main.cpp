// tarnel-cli: the address book, waking and the MAC lookup from a shell.
#include "cli/CliCommand.h"
#include "cli/CliRun.h"
#include "cli/CliText.h"
#include "core/Version.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnel-cli"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(TarnelVersion));
    // Its own texts, and Qt's (the help's headings, the parser's errors).
    QTranslator translator, qtTranslator;
    if (translator.load(QLocale(), QStringLiteral("tarnel-cli"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        QCoreApplication::installTranslator(&translator);
        if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtTranslator);
    }

    const CliParse parse = parseCliArguments(QCoreApplication::arguments());
    if (!parse.error.isEmpty()) {
        std::fprintf(stderr, "tarnel-cli: %s\n%s\n", qPrintable(parse.error),
                     qPrintable(CliText::tr("Try \"tarnel-cli --help\".")));
        return Usage;
    }
    switch (parse.command.action) {
    case CliCommand::Action::Help:
        std::fputs(qPrintable(cliHelpText()), stdout);
        return Done;
    case CliCommand::Action::Version:
        std::printf("tarnel-cli %s\n", TarnelVersion);
        return Done;
    default:
        return runCli(parse.command, stdout, stderr);
    }
}
