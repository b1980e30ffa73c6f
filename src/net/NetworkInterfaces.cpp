// Through QNetworkInterface rather than getifaddrs: it reads index, flags,
// hardware address and netmasks the same way on every platform Qt supports,
// so the scan needs no code per platform.
#include "net/NetworkInterfaces.h"

#include <QNetworkInterface>
#include <algorithm>

namespace net {

QByteArray hardwareAddressBytes(QStringView text)
{
    QByteArray bytes;
    for (const QStringView part : text.split(u':', Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint value = part.toUInt(&ok, 16);
        if (part.size() != 2 || !ok)
            return {};
        bytes.append(char(value));
    }
    return bytes;
}

std::vector<InterfaceInfo> scanInterfaces()
{
    std::vector<InterfaceInfo> result;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        InterfaceInfo info{interface.index(),
                           interface.name(),
                           flags.testFlag(QNetworkInterface::IsUp),
                           flags.testFlag(QNetworkInterface::IsLoopBack),
                           flags.testFlag(QNetworkInterface::CanBroadcast),
                           hardwareAddressBytes(interface.hardwareAddress()),
                           {}};
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                info.ipv4.push_back({entry.ip().toIPv4Address(), entry.netmask().toIPv4Address(),
                                     entry.broadcast().isNull() ? 0 : entry.broadcast().toIPv4Address()});
        }
        result.push_back(std::move(info));
    }
    return result;
}

std::optional<std::array<std::uint8_t, 6>> pickLocalAdapter(std::vector<InterfaceInfo> interfaces)
{
    std::stable_sort(interfaces.begin(), interfaces.end(),
                     [](const InterfaceInfo& a, const InterfaceInfo& b) { return a.index < b.index; });
    for (const InterfaceInfo& interface : interfaces) {
        const QByteArray& bytes = interface.hardwareAddress;
        if (!interface.up || interface.loopback || bytes.size() != 6 || bytes.count('\0') == 6)
            continue;
        std::array<std::uint8_t, 6> mac{};
        std::copy(bytes.begin(), bytes.end(), mac.begin());
        return mac;
    }
    return std::nullopt;
}

bool isBroadcastInterface(const InterfaceInfo& interface)
{
    return interface.up && !interface.loopback && interface.canBroadcast;
}

std::vector<int> broadcastInterfaceIndexes(const std::vector<InterfaceInfo>& interfaces)
{
    std::vector<int> indexes;
    for (const InterfaceInfo& interface : interfaces) {
        if (isBroadcastInterface(interface) && !interface.ipv4.empty() && interface.index > 0 &&
            std::find(indexes.begin(), indexes.end(), interface.index) == indexes.end())
            indexes.push_back(interface.index);
    }
    return indexes;
}

QList<std::uint32_t> broadcastAddresses(const std::vector<InterfaceInfo>& interfaces)
{
    QList<std::uint32_t> addresses;
    for (const InterfaceInfo& interface : interfaces) {
        if (!isBroadcastInterface(interface))
            continue;
        for (const Ipv4Entry& entry : interface.ipv4) {
            if (entry.broadcast != 0 && !addresses.contains(entry.broadcast))
                addresses.append(entry.broadcast);
        }
    }
    return addresses;
}

} // namespace net
