#pragma once

#include <QByteArray>
#include <chrono>
#include <cstdint>

// One IPv4 UDP socket on a port of the system's choosing, broadcast allowed,
// used without an event loop: the caller waits on it up to a deadline.
class NetbiosSocket {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    NetbiosSocket();
    ~NetbiosSocket();
    NetbiosSocket(const NetbiosSocket&) = delete;
    NetbiosSocket& operator=(const NetbiosSocket&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Talks to one computer only: datagrams from anywhere else are not taken,
    // and its "port unreachable" (the usual answer of a computer without
    // NetBIOS) ends the wait at once.
    bool connectTo(std::uint32_t address, std::uint16_t port);
    // Addresses in host byte order.
    bool sendTo(std::uint32_t address, std::uint16_t port, const QByteArray& datagram);
    // Where a datagram came from; the address in host byte order.
    struct Source {
        std::uint32_t address = 0;
        std::uint16_t port = 0;
    };
    enum class Received { Datagram, TimedOut, Refused };
    // The next datagram and its source, until the deadline; Refused when the
    // connected computer cannot be reached or has nothing on the port.
    Received receive(TimePoint deadline, QByteArray& datagram, Source& from);

private:
    int m_fd = -1;
    QByteArray m_buffer;
};
