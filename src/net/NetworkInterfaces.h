#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The network interfaces of this computer, as the system lists them now, and
// the choices the program makes from them.
namespace net {

// One IPv4 address of an interface; all three in host byte order.
struct Ipv4Entry {
    std::uint32_t address = 0;
    std::uint32_t netmask = 0;
    std::uint32_t broadcast = 0; // 0 when the subnet has none
};

struct InterfaceInfo {
    int index = 0;
    QString name;
    bool up = false;
    bool loopback = false;
    bool canBroadcast = false;
    QByteArray hardwareAddress; // raw bytes: six for Ethernet, none for loopback
    std::vector<Ipv4Entry> ipv4;
};

// "00:0A:E6:3B:05:F1" (either letter case) to its bytes; anything malformed gives none.
QByteArray hardwareAddressBytes(QStringView text);

// Every interface the system lists now, in the system's order.
std::vector<InterfaceInfo> scanInterfaces();

// The local computer's adapter 0: the first interface by index that is up, is
// not loopback and has a six-byte hardware address that is not all zero. An
// interface switched off carries no NetBIOS, so it is never adapter 0.
std::optional<std::array<std::uint8_t, 6>> pickLocalAdapter(std::vector<InterfaceInfo> interfaces);

// Interfaces a broadcast can leave by: up, not loopback, can broadcast.
bool isBroadcastInterface(const InterfaceInfo& interface);

// The indexes of the broadcast interfaces that carry an IPv4 address, each once.
std::vector<int> broadcastInterfaceIndexes(const std::vector<InterfaceInfo>& interfaces);

// The broadcast address of every IPv4 subnet on a broadcast interface, each once.
QList<std::uint32_t> broadcastAddresses(const std::vector<InterfaceInfo>& interfaces);

} // namespace net
