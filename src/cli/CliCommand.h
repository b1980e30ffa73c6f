#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What one run of tarnel-cli is asked to do, read from its arguments.
struct CliCommand {
    enum class Action { List, Wake, GetMac, Help, Version };
    Action action = Action::Help;
    bool json = false;  // list --json
    bool names = false; // list --names: the names alone, one a line
    // wake: the names or MAC addresses; getmac: the one computer.
    QStringList targets;
    std::optional<QString> host;
    std::optional<int> port;
    std::optional<int> repeat;
    std::optional<int> waitSeconds;
    std::optional<int> probePort;
    // --file: another address.lst; empty: the window's.
    QString file;
};

struct CliParse {
    CliCommand command;
    // Why the arguments are not usable, for people; empty when they are.
    QString error;
};

// Reads the arguments (the program's name first). Options may stand anywhere
// among the subcommand's arguments.
CliParse parseCliArguments(const QStringList& arguments);

// The text of --help.
QString cliHelpText();

// The repeat counts a wake accepts.
constexpr int MostRepeats = 100;
// The longest --wait, a day.
constexpr int MostWaitSeconds = 86400;
