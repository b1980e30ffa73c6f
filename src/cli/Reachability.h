#pragma once

#include <chrono>
#include <cstdint>

// Whether a computer is up: it answers an ICMP echo, or a TCP connection to a
// port is accepted or refused (either way something answered).
enum class Reach { Up, NoAnswer, NotAllowed };

// One ICMP echo through an unprivileged ICMP socket, waiting up to `timeout`
// for the reply. NotAllowed when this user may not open one (see the sysctl
// net.ipv4.ping_group_range). `address` in host byte order.
Reach pingOnce(std::uint32_t address, std::chrono::milliseconds timeout);

// Whether this user may open the ICMP socket pingOnce needs.
bool pingAllowed();

// One TCP connection attempt to `port`, up to `timeout`.
Reach connectOnce(std::uint32_t address, std::uint16_t port, std::chrono::milliseconds timeout);
