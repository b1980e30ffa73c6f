#include "UdpReceiver.h"

#include <QtGlobal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

UdpReceiver::UdpReceiver(const char* host, int port)
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, host, &address.sin_addr);
    // The window reads a port as a 16-bit signed number, so stay below 32768.
    for (port = port > 0 ? port : 20000 + int(::getpid() % 8000); port < 32768; ++port) {
        address.sin_port = htons(quint16(port));
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            break;
    }
    const int size = 8 << 20;
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    socklen_t length = sizeof address;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
}

UdpReceiver::~UdpReceiver()
{
    ::close(m_fd);
}

QList<QByteArray> UdpReceiver::drain(int waitMs)
{
    QList<QByteArray> datagrams;
    pollfd pfd{m_fd, POLLIN, 0};
    while (::poll(&pfd, 1, waitMs) > 0) {
        char buffer[2048];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n < 0)
            break;
        datagrams.append(QByteArray(buffer, int(n)));
        waitMs = 20;
    }
    return datagrams;
}
