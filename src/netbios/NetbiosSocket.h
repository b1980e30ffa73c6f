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
    // Addresses in host byte order.
    bool sendTo(std::uint32_t address, std::uint16_t port, const QByteArray& datagram);
    // Where a datagram came from; the address in host byte order.
    struct Source {
        std::uint32_t address = 0;
        std::uint16_t port = 0;
    };
    // The next datagram and its source; false once the deadline passes.
    bool receive(TimePoint deadline, QByteArray& datagram, Source& from);

private:
    int m_fd = -1;
    QByteArray m_buffer;
};
