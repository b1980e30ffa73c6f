// The kernel's neighbour table is read as text: whatever it holds, reading it
// must stay in bounds and give only complete, non-zero Ethernet entries.
#include "net/NeighbourTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::vector<net::Neighbour> table = net::parseNeighbourTable(text);
    if (int(table.size()) > net::MaxNeighbours || qsizetype(table.size()) > text.count('\n'))
        __builtin_trap();
    for (const net::Neighbour& neighbour : table) {
        if (neighbour.mac == net::MacBytes{} || neighbour.device.isEmpty())
            __builtin_trap();
    }
    return 0;
}
