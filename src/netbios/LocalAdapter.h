#pragma once

#include "netbios/NetbiosCodec.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

// What this computer knows about its own network adapters, read from the
// system rather than asked over the network.

struct AdapterInfo {
    int index = 0;
    bool up = false;
    bool loopback = false;
    QString hardwareAddress; // "00:0A:E6:3B:05:F1"
};

// Adapter 0 of the local computer: the first adapter, by interface index, that
// is up, is not loopback and has a six-byte hardware address that is not all
// zero. An adapter switched off carries no NetBIOS, so it is never adapter 0.
std::optional<netbios::MacBytes> pickLocalAdapter(QList<AdapterInfo> adapters);

// pickLocalAdapter over the adapters the system lists now.
std::optional<netbios::MacBytes> localAdapterAddress();

// The broadcast address (host byte order) of every IPv4 subnet on an adapter
// that is up and can broadcast, loopback excluded: where a name query goes.
QList<std::uint32_t> localBroadcastAddresses();
