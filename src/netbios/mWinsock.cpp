#include "netbios/mWinsock.h"

#include "netbios/LocalAdapter.h"
#include "netbios/NetbiosSocket.h"

namespace {

std::optional<netbios::MacBytes> adapterStatus(const QString& name, const NetbiosOptions& options)
{
    // "*" padded to 16 places is this computer: answered from the adapter list.
    if (netbios::nameBytes(name) == QByteArrayLiteral("*               "))
        return localAdapterAddress();
    if (const std::optional<std::uint32_t> address = netbios::parseIpv4Text(name))
        return queryNodeStatus(*address, options);

    std::optional<std::uint32_t> address =
        queryNameAddress(netbios::nameBytes(name, netbios::LetterCase::Upper), options);
    if (!address) {
        // The resolver gets the whole name: a host name cut to 16 characters
        // could well be some other computer.
        QString host = name;
        while (host.endsWith(u' '))
            host.chop(1);
        address = resolveIpv4Address(host);
    }
    if (!address)
        return std::nullopt;
    return queryNodeStatus(*address, options);
}

} // namespace

QString getMacAddress(const QString& name)
{
    return getMacAddress(name, NetbiosOptions());
}

QString getMacAddress(const QString& name, const NetbiosOptions& options)
{
    if (name.isEmpty())
        return {};
    try {
        const std::optional<netbios::MacBytes> mac = adapterStatus(name, options);
        if (!mac)
            return {};
        QString result;
        for (const std::uint8_t byte : *mac)
            result += hexByte(QString::number(byte, 16).toUpper());
        return result;
    } catch (...) {
        // Whatever went wrong, the caller only learns that there is no address.
        return {};
    }
}

QString hexByte(const QString& text)
{
    return text.size() == 1 ? QLatin1Char('0') + text : text;
}
