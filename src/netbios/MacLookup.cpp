#include "netbios/MacLookup.h"

#include "net/HostResolver.h"

#include <QDebug>
#include <new>

namespace {

std::optional<netbios::MacBytes> adapterStatus(const QString& computer, const NetbiosOptions& options)
{
    // "*" padded to 16 places is this computer: answered from its own adapters.
    if (netbios::nameBytes(computer) == QByteArrayLiteral("*               "))
        return net::pickLocalAdapter(options.readInterfaces());
    if (const std::optional<std::uint32_t> address = netbios::parseIpv4Text(computer))
        return queryNodeStatus(*address, options);

    std::optional<std::uint32_t> address =
        queryNameAddress(netbios::nameBytes(computer, netbios::LetterCase::Upper), options);
    if (!address) {
        // The resolver gets the whole name: a host name cut to 16 characters
        // could well be some other computer.
        QString host = computer;
        while (host.endsWith(u' '))
            host.chop(1);
        if (const net::HostLookup found = net::lookUpHost(host); found.found())
            address = found.address;
    }
    if (!address)
        return std::nullopt;
    return queryNodeStatus(*address, options);
}

} // namespace

QString lookUpMacAddress(const QString& computer, const NetbiosOptions& options)
{
    if (computer.isEmpty())
        return {};
    try {
        const std::optional<netbios::MacBytes> mac = adapterStatus(computer, options);
        if (!mac)
            return {};
        return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(mac->data()), 6).toHex().toUpper());
    } catch (const std::bad_alloc&) {
        // The lookup's only failure that is not an answer; the window shows no address either way.
        qWarning("MAC address lookup for \"%s\" ran out of memory", qUtf8Printable(computer));
        return {};
    }
}
