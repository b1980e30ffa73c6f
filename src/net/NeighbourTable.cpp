#include "net/NeighbourTable.h"

#include <QByteArray>
#include <QList>

#include <algorithm>

namespace net {

namespace {

constexpr unsigned CompleteFlag = 0x2; // ATF_COM
constexpr unsigned EthernetType = 0x1; // ARPHRD_ETHER

QList<QByteArrayView> split(QByteArrayView text, char separator, bool skipEmpty = false)
{
    QList<QByteArrayView> parts;
    for (qsizetype start = 0;;) {
        const qsizetype end = text.indexOf(separator, start);
        const QByteArrayView part = text.sliced(start, (end < 0 ? text.size() : end) - start);
        if (!skipEmpty || !part.isEmpty())
            parts.append(part);
        if (end < 0)
            return parts;
        start = end + 1;
    }
}

std::optional<std::uint32_t> parseAddress(QByteArrayView text)
{
    const QList<QByteArrayView> parts = split(text, '.');
    if (parts.size() != 4)
        return std::nullopt;
    std::uint32_t address = 0;
    for (const QByteArrayView part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok, 10);
        if (!ok || part.isEmpty() || part.size() > 3 || value > 255)
            return std::nullopt;
        address = address << 8 | value;
    }
    return address;
}

std::optional<unsigned> parseHex(QByteArrayView text)
{
    bool ok = false;
    const uint value = text.startsWith("0x") ? text.sliced(2).toUInt(&ok, 16) : 0;
    return ok ? std::optional<unsigned>(value) : std::nullopt;
}

std::optional<MacBytes> parseMac(QByteArrayView text)
{
    const QByteArray bytes = hardwareAddressBytes(QString::fromLatin1(text));
    if (bytes.size() != 6)
        return std::nullopt;
    MacBytes mac{};
    std::copy(bytes.begin(), bytes.end(), mac.begin());
    return mac;
}

} // namespace

std::vector<Neighbour> parseNeighbourTable(QByteArrayView text)
{
    std::vector<Neighbour> table;
    // The first line is the heading.
    qsizetype start = text.indexOf('\n');
    while (start >= 0 && start < text.size() && int(table.size()) < MaxNeighbours) {
        const qsizetype end = text.indexOf('\n', start + 1);
        const QByteArrayView line = text.sliced(start + 1, (end < 0 ? text.size() : end) - start - 1);
        start = end;
        const QList<QByteArrayView> fields = split(line, ' ', true);
        if (fields.size() != 6)
            continue;
        const std::optional<std::uint32_t> address = parseAddress(fields[0]);
        const std::optional<unsigned> type = parseHex(fields[1]);
        const std::optional<unsigned> flags = parseHex(fields[2]);
        const std::optional<MacBytes> mac = parseMac(fields[3]);
        if (!address || type != EthernetType || !flags || !(*flags & CompleteFlag) || !mac || *mac == MacBytes{})
            continue;
        table.push_back({*address, *mac, QString::fromUtf8(fields[5])});
    }
    return table;
}

std::optional<QString> onLinkInterface(std::uint32_t address, const std::vector<InterfaceInfo>& interfaces)
{
    std::optional<QString> found;
    for (const InterfaceInfo& interface : interfaces) {
        for (const Ipv4Entry& entry : interface.ipv4) {
            if (entry.address == address)
                return std::nullopt; // this computer
            const std::uint32_t host = address & ~entry.netmask;
            const bool inSubnet = (address & entry.netmask) == (entry.address & entry.netmask);
            if (!found && interface.up && !interface.loopback && inSubnet && entry.netmask != 0xFFFFFFFF && host != 0 &&
                host != ~entry.netmask)
                found = interface.name;
        }
    }
    return found;
}

std::optional<MacBytes> neighbourMac(std::uint32_t address, const QString& device, const std::vector<Neighbour>& table)
{
    const auto entry = std::find_if(table.begin(), table.end(), [&](const Neighbour& neighbour) {
        return neighbour.address == address && neighbour.device == device;
    });
    return entry == table.end() ? std::nullopt : std::optional<MacBytes>(entry->mac);
}

} // namespace net
