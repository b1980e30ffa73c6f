// The NetBIOS reply parsers on arbitrary datagrams, and the name encoder on
// arbitrary text.
#include "netbios/NetbiosCodec.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView datagram(reinterpret_cast<const char*>(data), qsizetype(size));
    // Take the datagram's own transaction id so that the checks past it are reached.
    const auto id = std::uint16_t(size >= 2 ? data[0] << 8 | data[1] : 0);
    const std::optional<netbios::MacBytes> mac = netbios::parseNodeStatusReply(datagram, id);
    if (mac && size < 12 + 1 + 10 + 1 + 6)
        std::abort(); // an address from fewer bytes than the smallest reply can hold

    const QByteArray name = netbios::nameBytes(u"TARNELPEER");
    netbios::parseNameQueryReply(datagram, id, name);

    const QString text = QString::fromUtf8(datagram.first(std::min<qsizetype>(datagram.size(), 64)));
    if (netbios::nameBytes(text, netbios::LetterCase::Upper).size() != netbios::NameLength)
        std::abort();
    netbios::parseIpv4Text(text);
    return 0;
}
