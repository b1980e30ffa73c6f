// Probing with the POSIX sockets: an ICMP datagram socket (Linux's
// unprivileged ping) and a non-blocking TCP connect.
#include "cli/Reachability.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class Socket {
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

sockaddr_in endpoint(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    return to;
}

// Waits for `events` on the socket until the deadline; false when it passed.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        pollfd pfd{fd, events, 0};
        const int ready = ::poll(&pfd, 1, int(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

namespace {

int openPingSocket()
{
    return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
}

bool refused(int error)
{
    return error == EACCES || error == EPERM || error == EPROTONOSUPPORT;
}

} // namespace

bool pingAllowed()
{
    const Socket socket(openPingSocket());
    return socket.fd() >= 0 || !refused(errno);
}

Reach pingOnce(std::uint32_t address, std::chrono::milliseconds timeout)
{
    const Socket socket(openPingSocket());
    if (socket.fd() < 0)
        return refused(errno) ? Reach::NotAllowed : Reach::NoAnswer;
    const sockaddr_in to = endpoint(address, 0);
    // Only replies from the computer asked reach a connected socket; the kernel
    // sets the identifier and keeps other programs' replies away.
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0)
        return Reach::NoAnswer;
    icmphdr echo{};
    echo.type = ICMP_ECHO;
    echo.un.echo.sequence = htons(1);
    if (::send(socket.fd(), &echo, sizeof echo, MSG_NOSIGNAL) != sizeof echo)
        return Reach::NoAnswer;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (waitFor(socket.fd(), POLLIN, deadline)) {
        icmphdr reply{};
        const ssize_t n = ::recv(socket.fd(), &reply, sizeof reply, MSG_DONTWAIT);
        if (n >= ssize_t(sizeof reply) && reply.type == ICMP_ECHOREPLY)
            return Reach::Up;
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return Reach::NoAnswer; // unreachable, reported by ICMP
    }
    return Reach::NoAnswer;
}

Reach connectOnce(std::uint32_t address, std::uint16_t port, std::chrono::milliseconds timeout)
{
    const Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.fd() < 0)
        return Reach::NoAnswer;
    const sockaddr_in to = endpoint(address, port);
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return Reach::Up;
    if (errno == ECONNREFUSED)
        return Reach::Up;
    if (errno != EINPROGRESS || !waitFor(socket.fd(), POLLOUT, std::chrono::steady_clock::now() + timeout))
        return Reach::NoAnswer;
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length);
    // Accepted, or refused by the computer itself: it is up.
    return error == 0 || error == ECONNREFUSED ? Reach::Up : Reach::NoAnswer;
}
