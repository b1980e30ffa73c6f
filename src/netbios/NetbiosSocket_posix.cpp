// The query's socket on POSIX systems: BSD sockets and poll().
#include "netbios/NetbiosSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Large enough for any UDP datagram: a reply is never cut by our buffer.
constexpr int ReceiveBufferSize = 65536;

} // namespace

NetbiosSocket::NetbiosSocket()
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return;
    const int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    m_buffer.resize(ReceiveBufferSize);
}

NetbiosSocket::~NetbiosSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool NetbiosSocket::connectTo(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    return m_fd >= 0 && ::connect(m_fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
}

bool NetbiosSocket::sendTo(std::uint32_t address, std::uint16_t port, const QByteArray& datagram)
{
    if (m_fd < 0)
        return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    return ::sendto(m_fd, datagram.constData(), std::size_t(datagram.size()), MSG_NOSIGNAL,
                    reinterpret_cast<const sockaddr*>(&to), sizeof to) == datagram.size();
}

NetbiosSocket::Received NetbiosSocket::receive(TimePoint deadline, QByteArray& datagram, Source& from)
{
    if (m_fd < 0)
        return Received::TimedOut;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Received::TimedOut;
        pollfd pfd{m_fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, int(left.count()));
        if (ready < 0 && errno != EINTR)
            return Received::TimedOut;
        if (ready <= 0)
            continue;
        sockaddr_in source{};
        socklen_t sourceLength = sizeof source;
        const ssize_t n = ::recvfrom(m_fd, m_buffer.data(), std::size_t(m_buffer.size()), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&source), &sourceLength);
        if (n < 0 && (errno == ECONNREFUSED || errno == EHOSTUNREACH || errno == ENETUNREACH))
            return Received::Refused; // reported by ICMP to a connected socket only
        // Any other error, or a source that is no IPv4 address, is not the answer: keep waiting.
        if (n < 0 || source.sin_family != AF_INET)
            continue;
        datagram = m_buffer.left(qsizetype(n));
        from = {ntohl(source.sin_addr.s_addr), ntohs(source.sin_port)};
        return Received::Datagram;
    }
}
