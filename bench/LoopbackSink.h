#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// A UDP socket on 127.0.0.1 below port 32768, drained by a thread of its own
// so the datagrams of a benchmark really travel.
class LoopbackSink {
public:
    LoopbackSink()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        const int size = 16 << 20;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (m_port = 21000 + ::getpid() % 9000; m_port < 32768; ++m_port) {
            address.sin_port = htons(uint16_t(m_port));
            if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                break;
        }
        m_thread = std::thread([this] {
            char buffer[2048];
            pollfd pfd{m_fd, POLLIN, 0};
            while (!m_stop) {
                if (::poll(&pfd, 1, 50) > 0 && ::recv(m_fd, buffer, sizeof buffer, 0) > 0)
                    ++m_received;
            }
        });
    }
    ~LoopbackSink()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    int port() const { return m_port; }
    long received() const { return m_received; }

private:
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_received{0};
    std::thread m_thread;
};

// The yardstick: `count` datagrams to 127.0.0.1:`port` by a bare sendto() loop;
// returns the milliseconds it took.
inline double plainSendLoop(int port, const QByteArray& packet, int count)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        ::sendto(fd, packet.constData(), size_t(packet.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    ::close(fd);
    return ms;
}
