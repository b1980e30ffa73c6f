#pragma once

#include "net/HostResolver.h"
#include "net/NeighbourTable.h"
#include "net/NetworkInterfaces.h"
#include "netbios/NetbiosCodec.h"

#include <QList>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// How a query talks to the network. The defaults are the real thing; tests
// point the query at a port on 127.0.0.1 and shorten the waits.
struct NetbiosOptions {
    std::uint16_t port = 137;
    // Each exchange gives up this long after its first request.
    std::chrono::milliseconds timeout{2000};
    std::chrono::milliseconds retryInterval{500};
    int attempts = 3;
    // The interfaces "*" is answered from and a name query is broadcast on
    // (every IPv4 subnet's broadcast address); unset: the system's, read anew.
    std::function<std::vector<net::InterfaceInfo>()> interfaces{};

    std::vector<net::InterfaceInfo> readInterfaces() const { return interfaces ? interfaces() : net::scanInterfaces(); }
    // The kernel's neighbour table, asked when NetBIOS gives no address; unset: the system's.
    std::function<std::vector<net::Neighbour>()> neighbours{};
    std::vector<net::Neighbour> readNeighbours() const { return neighbours ? neighbours() : net::readNeighbourTable(); }
    // How long the system resolver may take over a host name.
    std::chrono::milliseconds resolverLimit{2000};
    // The system resolver; unset: the real one.
    std::function<net::HostLookup(const QString&)> resolver{};
};

// The node-status request with the wildcard name, sent to `address`; only a
// valid reply from that very address counts. Blocks until the reply or the
// timeout.
std::optional<netbios::MacBytes> queryNodeStatus(std::uint32_t address, const NetbiosOptions& options = {});

// A broadcast name query for the 16-byte `name`; the first valid answer from
// any responder gives the address.
std::optional<std::uint32_t> queryNameAddress(const QByteArray& name, const NetbiosOptions& options = {});
