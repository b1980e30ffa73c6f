#pragma once

#include "net/NetworkInterfaces.h"

#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The kernel's IPv4 neighbour table (the ARP cache): which hardware address
// answers for which address on a directly attached network. Sending to a
// computer on such a network fills it, whether or not the computer answers
// what was sent.
namespace net {

using MacBytes = std::array<std::uint8_t, 6>;

struct Neighbour {
    std::uint32_t address = 0; // host byte order
    MacBytes mac{};
    QString device;
};

// The complete entries (reachable, stale, delayed, being probed or permanent)
// of an Ethernet-like interface in the text of Linux's /proc/net/arp:
//   IP address  HW type  Flags  HW address  Mask  Device
//   10.0.0.2    0x1      0x2    0a:1b:2c:3d:4e:5f  *  eth0
// An entry still being resolved or given up on (no "complete" flag 0x2) and an
// all-zero address are left out, as is every line that is not in this form.
// At most MaxNeighbours entries are taken.
std::vector<Neighbour> parseNeighbourTable(QByteArrayView text);
constexpr int MaxNeighbours = 65536;

// The table as the system holds it now; empty where it cannot be read.
std::vector<Neighbour> readNeighbourTable();

// The interface on whose subnet `address` lies, directly attached: an
// interface that is up and not loopback, with an IPv4 address and netmask
// whose subnet holds `address`. Never for an address of this computer, nor for
// a subnet's own or broadcast address, nor in a subnet of one address.
std::optional<QString> onLinkInterface(std::uint32_t address, const std::vector<InterfaceInfo>& interfaces);

// The complete entry for `address` on `device`, if the table holds one.
std::optional<MacBytes> neighbourMac(std::uint32_t address, const QString& device, const std::vector<Neighbour>& table);

} // namespace net
