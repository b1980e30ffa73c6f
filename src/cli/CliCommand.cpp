#include "cli/CliCommand.h"

#include "cli/CliText.h"

#include <QCommandLineParser>

namespace {

struct Options {
    QCommandLineOption help{{"h", "help"}, CliText::tr("Show this help.")};
    QCommandLineOption version{{"v", "version"}, CliText::tr("Show the version.")};
    QCommandLineOption file{"file", CliText::tr("Read this address book instead of the window's."), "path"};
    QCommandLineOption json{"json", CliText::tr("list: print a JSON array of objects.")};
    QCommandLineOption names{"names", CliText::tr("list: print the names alone, one a line.")};
    QCommandLineOption host{"host", CliText::tr("wake: send to this host instead of each computer's own."), "host"};
    QCommandLineOption port{"port", CliText::tr("wake: the UDP port (default: tarnel.ini's, else 9001)."), "port"};
    QCommandLineOption repeat{"repeat", CliText::tr("wake: send each packet this many times (1-%1).").arg(MostRepeats),
                              "count"};
    QCommandLineOption wait{"wait", CliText::tr("wake: then wait up to this long for each computer to answer."),
                            "seconds"};
    QCommandLineOption probePort{"probe-port", CliText::tr("wake --wait: ask this TCP port instead of sending a ping."),
                                 "port"};

    QList<QCommandLineOption> all() const
    {
        return {help, version, file, json, names, host, port, repeat, wait, probePort};
    }
};

void setUp(QCommandLineParser& parser, const Options& options)
{
    parser.setApplicationDescription(
        CliText::tr("Wakes the computers of Tarnel's address book from the command line.\n\n"
                    "Commands:\n"
                    "  list [--json | --names]      the computers of the address book\n"
                    "  wake TARGET...               wake computers: a name from the book or a MAC address\n"
                    "  getmac HOST                  the MAC address of a computer on the network\n\n"
                    "Exit status: 0 done, 1 a send or lookup failed, 2 usage, 3 --wait ran out."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options.all());
    parser.addPositionalArgument("command", CliText::tr("list, wake or getmac"), "command [arguments]");
}

// A whole number from `low` to `high`, or the error that names the option.
std::optional<int> number(const QCommandLineParser& parser, const QCommandLineOption& option, int low, int high,
                          QString& error)
{
    if (!parser.isSet(option))
        return std::nullopt;
    const QString text = parser.value(option);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high) {
        if (error.isEmpty())
            error = CliText::tr("--%1 must be a whole number from %2 to %3, not \"%4\".")
                        .arg(option.names().constLast())
                        .arg(low)
                        .arg(high)
                        .arg(text);
        return std::nullopt;
    }
    return value;
}

} // namespace

CliParse parseCliArguments(const QStringList& arguments)
{
    CliParse result;
    CliCommand& command = result.command;
    const Options options;
    QCommandLineParser parser;
    setUp(parser, options);
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(options.help))
        return result;
    if (parser.isSet(options.version)) {
        command.action = CliCommand::Action::Version;
        return result;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        result.error = CliText::tr("Say what to do: list, wake or getmac.");
        return result;
    }
    const QString verb = positional.takeFirst();
    command.targets = positional;
    command.file = parser.value(options.file);
    command.json = parser.isSet(options.json);
    command.names = parser.isSet(options.names);
    if (parser.isSet(options.host))
        command.host = parser.value(options.host);
    command.port = number(parser, options.port, 1, 65535, result.error);
    command.repeat = number(parser, options.repeat, 1, MostRepeats, result.error);
    command.waitSeconds = number(parser, options.wait, 1, MostWaitSeconds, result.error);
    command.probePort = number(parser, options.probePort, 1, 65535, result.error);

    // Each option belongs to the commands it is shown for.
    QStringList misplaced;
    const bool wakeOptions = parser.isSet(options.host) || parser.isSet(options.port) || parser.isSet(options.repeat) ||
                             parser.isSet(options.wait) || parser.isSet(options.probePort);
    if (verb == u"list") {
        command.action = CliCommand::Action::List;
        if (!positional.isEmpty())
            result.error = CliText::tr("list takes no arguments.");
        if (wakeOptions)
            misplaced << QStringLiteral("--host --port --repeat --wait --probe-port");
        if (command.json && command.names)
            result.error = CliText::tr("Give --json or --names, not both.");
    } else if (verb == u"wake") {
        command.action = CliCommand::Action::Wake;
        if (positional.isEmpty())
            result.error = CliText::tr("wake needs at least one name or MAC address.");
        if (command.probePort && !command.waitSeconds && result.error.isEmpty())
            result.error = CliText::tr("--probe-port goes with --wait.");
    } else if (verb == u"getmac") {
        command.action = CliCommand::Action::GetMac;
        if (positional.size() != 1)
            result.error = CliText::tr("getmac takes one computer: an IPv4 address, a name, or * for this one.");
        if (wakeOptions)
            misplaced << QStringLiteral("--host --port --repeat --wait --probe-port");
    } else {
        result.error = CliText::tr("Unknown command \"%1\": use list, wake or getmac.").arg(verb);
        return result;
    }
    if (command.action != CliCommand::Action::List && (command.json || command.names))
        misplaced << QStringLiteral("--json --names");
    if (!misplaced.isEmpty() && result.error.isEmpty())
        result.error = CliText::tr("%1 cannot be used with %2.").arg(misplaced.join(u' '), verb);
    return result;
}

QString cliHelpText()
{
    const Options options;
    QCommandLineParser parser;
    setUp(parser, options);
    // Named as people type it, wherever it was started from.
    QString text = parser.helpText();
    const QString started = QCoreApplication::arguments().value(0);
    if (const qsizetype at = started.isEmpty() ? -1 : text.indexOf(started); at >= 0)
        text.replace(at, started.size(), QStringLiteral("tarnel-cli"));
    return text;
}
