// Local adapters through QNetworkInterface, which reads them the same way on
// every platform Qt supports.
#include "netbios/LocalAdapter.h"

#include <QNetworkInterface>
#include <algorithm>

namespace {

std::optional<netbios::MacBytes> parseHardwareAddress(const QString& text)
{
    const QStringList parts = text.split(u':');
    netbios::MacBytes mac{};
    if (parts.size() != int(mac.size()))
        return std::nullopt;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const QString& part = parts[qsizetype(i)];
        bool ok = false;
        const uint value = part.toUInt(&ok, 16);
        if (part.size() != 2 || !ok || value > 0xFF)
            return std::nullopt;
        mac[i] = std::uint8_t(value);
    }
    return mac;
}

} // namespace

std::optional<netbios::MacBytes> pickLocalAdapter(QList<AdapterInfo> adapters)
{
    std::stable_sort(adapters.begin(), adapters.end(),
                     [](const AdapterInfo& a, const AdapterInfo& b) { return a.index < b.index; });
    for (const AdapterInfo& adapter : adapters) {
        if (!adapter.up || adapter.loopback)
            continue;
        const std::optional<netbios::MacBytes> mac = parseHardwareAddress(adapter.hardwareAddress);
        if (mac && std::any_of(mac->begin(), mac->end(), [](std::uint8_t b) { return b != 0; }))
            return mac;
    }
    return std::nullopt;
}

std::optional<netbios::MacBytes> localAdapterAddress()
{
    QList<AdapterInfo> adapters;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        adapters.append({interface.index(), flags.testFlag(QNetworkInterface::IsUp),
                         flags.testFlag(QNetworkInterface::IsLoopBack), interface.hardwareAddress()});
    }
    return pickLocalAdapter(adapters);
}

QList<std::uint32_t> localBroadcastAddresses()
{
    QList<std::uint32_t> addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::CanBroadcast) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol || entry.broadcast().isNull())
                continue;
            const std::uint32_t broadcast = entry.broadcast().toIPv4Address();
            if (!addresses.contains(broadcast))
                addresses.append(broadcast);
        }
    }
    return addresses;
}
