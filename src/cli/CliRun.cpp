#include "cli/CliRun.h"

#include "addressbook/AddressBookFile.h"
#include "cli/CliText.h"
#include "cli/MacText.h"
#include "cli/Reachability.h"
#include "cli/WakeTargets.h"
#include "core/AppPaths.h"
#include "core/Failure.h"
#include "net/HostResolver.h"
#include "net/NetworkInterfaces.h"
#include "netbios/MacLookup.h"
#include "netbios/NetbiosCodec.h"
#include "settingsfile/SettingsFile.h"
#include "wake/MagicPacket.h"
#include "wake/UdpSender.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const QString EmptyAlarm = QStringLiteral("__:__");
// The alarm slots by the words scripts read: slot 0 every day, then Sunday to Saturday.
const std::array<QString, 8> SlotNames = {"daily",     "sunday",   "monday", "tuesday",
                                          "wednesday", "thursday", "friday", "saturday"};

void print(std::FILE* stream, const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stream);
}

QString bookPath(const CliCommand& command)
{
    return command.file.isEmpty() ? addressBookPath(dataDirectory(false)) : command.file;
}

AddressBook readBook(const CliCommand& command, std::FILE* err)
{
    const QString path = bookPath(command);
    AddressListLoad load = readAddressListFile(path);
    if (!load.complete)
        print(err, CliText::tr("warning: %1 was not read whole: %2").arg(path, load.problem));
    return std::move(load.book);
}

int list(const CliCommand& command, std::FILE* out, std::FILE* err)
{
    const AddressBook book = readBook(command, err);
    QJsonArray array;
    for (const AddressEntry& entry : book) {
        QStringList alarms;
        QJsonObject alarmObject;
        for (std::size_t s = 0; s < entry.alarms.size(); ++s) {
            const QString& time = entry.alarms[s];
            if (time.isEmpty() || time == EmptyAlarm)
                continue;
            alarms << SlotNames[s] + u' ' + time;
            alarmObject.insert(SlotNames[s], time);
        }
        if (command.json)
            array.append(QJsonObject{{"name", entry.name},
                                     {"mac", macDisplayText(entry.mac)},
                                     {"host", entry.host},
                                     {"alarms", alarmObject}});
        else if (command.names)
            print(out, entry.name);
        else
            print(out, QStringList{entry.name, macDisplayText(entry.mac), entry.host, alarms.join(u", ")}.join(u'\t'));
    }
    if (command.json)
        std::fputs(QJsonDocument(array).toJson(QJsonDocument::Indented).constData(), out);
    return Done;
}

// The address a woken computer is waited for at: a unicast IPv4 address.
std::optional<std::uint32_t> unicastAddress(const QString& host, const QList<std::uint32_t>& broadcasts)
{
    std::optional<std::uint32_t> address = netbios::parseIpv4Text(host);
    if (!address) {
        const net::HostLookup found = net::lookUpHostWithin(host, 5s);
        if (found.found())
            address = found.address;
    }
    if (!address || *address == 0 || *address == 0xFFFFFFFF || *address >> 28 == 0xE || broadcasts.contains(*address))
        return std::nullopt;
    return address;
}

struct Waited {
    WakeTarget target;
    std::uint32_t address = 0;
};

int waitUntilUp(const QList<Waited>& targets, const CliCommand& command, std::FILE* out, std::FILE* err)
{
    const bool terminal = ::isatty(::fileno(out)) == 1;
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::seconds(*command.waitSeconds);
    QList<Waited> pending = targets;
    const auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    };
    while (!pending.isEmpty() && std::chrono::steady_clock::now() < deadline) {
        const auto roundStart = std::chrono::steady_clock::now();
        for (auto it = pending.begin(); it != pending.end();) {
            const auto timeout = std::clamp(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()), 1ms,
                std::chrono::milliseconds(1000));
            const Reach reach = command.probePort ? connectOnce(it->address, std::uint16_t(*command.probePort), timeout)
                                                  : pingOnce(it->address, timeout);
            if (reach != Reach::Up) {
                ++it;
                continue;
            }
            if (terminal)
                std::fputs("\r\033[K", out);
            print(out, CliText::tr("%1 is up after %2 s").arg(it->target.name).arg(elapsed()));
            std::fflush(out);
            it = pending.erase(it);
        }
        if (pending.isEmpty())
            break;
        if (terminal) {
            std::fputs(qPrintable(u'\r' + CliText::tr("waiting for %n computer(s): %1 s", nullptr, int(pending.size()))
                                              .arg(elapsed())),
                       out);
            std::fflush(out);
        }
        std::this_thread::sleep_until(std::min(roundStart + 1s, deadline));
    }
    if (terminal && !pending.isEmpty()) {
        std::fputs("\r\033[K", out); // the progress line goes before the errors come
        std::fflush(out);
    }
    for (const Waited& waited : pending)
        print(err, CliText::tr("%1 did not answer within %2 s").arg(waited.target.name).arg(*command.waitSeconds));
    return pending.isEmpty() ? Done : WaitRanOut;
}

int wake(const CliCommand& command, std::FILE* out, std::FILE* err)
{
    const AddressBook book = readBook(command, err);
    const WakeTargetFinder finder(book);
    QList<WakeTarget> targets;
    for (const QString& text : command.targets) {
        const TargetLookup found = finder.find(text);
        if (!found.target) {
            print(err, found.error);
            return Usage;
        }
        targets.append(*found.target);
    }

    const SettingsValues settings = loadSettingsFile(settingsPath(dataDirectory(false)), SettingsValues{});
    const int port = command.port.value_or(settings.port.toInt());
    const int repeat = command.repeat.value_or(settings.repeat.toInt());

    // Every computer waited for needs an address to ask, known before anything is sent.
    QList<Waited> waited;
    if (command.waitSeconds) {
        if (!command.probePort && !pingAllowed()) {
            print(err, CliText::tr("This user may not send pings (see net.ipv4.ping_group_range); "
                                   "give --probe-port with a TCP port the computers listen on."));
            return Usage;
        }
        const QList<std::uint32_t> broadcasts = net::broadcastAddresses(net::scanInterfaces());
        for (const WakeTarget& target : targets) {
            const QString host = command.host.value_or(target.host);
            const std::optional<std::uint32_t> address = unicastAddress(host, broadcasts);
            if (!address) {
                print(err, CliText::tr("%1 cannot be waited for: its host \"%2\" is no single computer's address; "
                                       "give --host.")
                               .arg(target.name, host));
                return Usage;
            }
            waited.append({target, *address});
        }
    }

    UdpSender sender;
    bool failed = false;
    for (const WakeTarget& target : targets) {
        const QString host = command.host.value_or(target.host);
        try {
            try {
                const QByteArray packet = buildMagicPacket(target.mac);
                sender.setRemoteHost(host);
                sender.setRemotePort(port);
                for (int i = 0; i < repeat; ++i)
                    sender.sendData(packet);
            } catch (const Failure& failure) {
                // Counted as sent, as the window counts it.
                if (failure.number() != Failure::TreatedAsSuccess)
                    throw;
            }
            print(out,
                  CliText::tr("woke %1 (%2) via %3:%4").arg(target.name, macDisplayText(target.mac), host).arg(port));
        } catch (const Failure& failure) {
            failed = true;
            print(err, CliText::tr("could not wake %1: error %2: %3")
                           .arg(target.name)
                           .arg(failure.number())
                           .arg(failure.description()));
        }
    }
    if (failed)
        return Failed;
    std::fflush(out);
    return command.waitSeconds ? waitUntilUp(waited, command, out, err) : Done;
}

int getMac(const CliCommand& command, std::FILE* out, std::FILE* err)
{
    const QString computer = command.targets.value(0);
    const QString mac = lookUpMacAddress(computer);
    if (mac.size() != 12) {
        print(err, CliText::tr("no MAC address found for %1").arg(computer));
        return Failed;
    }
    std::array<QString, 6> bytes;
    for (int j = 0; j < 6; ++j)
        bytes[std::size_t(j)] = mac.mid(2 * j, 2);
    print(out, macDisplayText(bytes));
    return Done;
}

} // namespace

int runCli(const CliCommand& command, std::FILE* out, std::FILE* err)
{
    switch (command.action) {
    case CliCommand::Action::List:
        return list(command, out, err);
    case CliCommand::Action::Wake:
        return wake(command, out, err);
    case CliCommand::Action::GetMac:
        return getMac(command, out, err);
    case CliCommand::Action::Help:
    case CliCommand::Action::Version:
        break;
    }
    return Usage;
}
