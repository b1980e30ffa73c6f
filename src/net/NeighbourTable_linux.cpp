// Linux shows the IPv4 neighbour table of the program's network namespace as
// text; reading it needs no privilege and no netlink code of our own.
#include "net/NeighbourTable.h"

#include <QFile>

#include <algorithm>

namespace net {

std::vector<Neighbour> readNeighbourTable()
{
    QFile file(QStringLiteral("/proc/net/arp"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A line is 80 characters or so; the table holds at most MaxNeighbours of them.
    constexpr qsizetype MostBytes = qsizetype(MaxNeighbours + 1) * 128;
    QByteArray text;
    while (text.size() < MostBytes) {
        const QByteArray piece = file.read(std::min<qsizetype>(MostBytes - text.size(), 64 * 1024));
        if (piece.isEmpty())
            break;
        text += piece;
    }
    return parseNeighbourTable(text);
}

} // namespace net
