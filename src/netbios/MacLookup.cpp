#include "netbios/MacLookup.h"

#include "net/HostResolver.h"
#include "net/NeighbourTable.h"

#include <QDebug>
#include <new>

namespace {

bool isZero(const netbios::MacBytes& mac)
{
    return mac == netbios::MacBytes{};
}

// The address a computer's text names: an IPv4 address as it stands, else the
// answer to a broadcast NetBIOS name query, else the system resolver's,
// which gets the whole name: cut to 16 characters it could be some other
// computer.
std::optional<std::uint32_t> addressOf(const QString& computer, const NetbiosOptions& options)
{
    if (const std::optional<std::uint32_t> address = netbios::parseIpv4Text(computer))
        return address;
    if (const std::optional<std::uint32_t> address =
            queryNameAddress(netbios::nameBytes(computer, netbios::LetterCase::Upper), options))
        return address;
    QString host = computer;
    while (host.endsWith(u' '))
        host.chop(1);
    const net::HostLookup found =
        net::lookUpHostWithin(host, options.resolverLimit, options.resolver ? options.resolver : net::lookUpHost);
    return found.found() ? std::optional<std::uint32_t>(found.address) : std::nullopt;
}

std::optional<netbios::MacBytes> adapterStatus(const QString& computer, const NetbiosOptions& options)
{
    // "*" padded to 16 places is this computer: answered from its own adapters.
    if (netbios::nameBytes(computer) == QByteArrayLiteral("*               "))
        return net::pickLocalAdapter(options.readInterfaces());
    const std::optional<std::uint32_t> address = addressOf(computer, options);
    if (!address)
        return std::nullopt;
    const std::optional<netbios::MacBytes> status = queryNodeStatus(*address, options);
    if (status && !isZero(*status))
        return status;
    // No NetBIOS, or one that tells no address (Samba's all zeros): the request
    // has made the kernel resolve the address, so a computer on a directly
    // attached network is in its neighbour table. One behind a router is not
    // (the table would give the router's address), and gets no answer.
    const std::optional<QString> device = net::onLinkInterface(*address, options.readInterfaces());
    if (!device)
        return std::nullopt;
    return net::neighbourMac(*address, *device, options.readNeighbours());
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
