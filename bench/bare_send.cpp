// The floor for tarnel-cli's start-up: a bare Qt Core program, a
// QCoreApplication and the Magic Packet for 0A:1B:2C:3D:4E:5F sent by a plain
// POSIX socket, as tarnel's own sender does. Links Qt6::Core alone.
// usage: bare_send IPV4 PORT [COUNT]: COUNT datagrams (default 1).
#include <QByteArray>
#include <QCoreApplication>
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(std::atoi(argv[2])));
    if (::inet_pton(AF_INET, argv[1], &to.sin_addr) != 1)
        return 2;
    const int count = argc > 3 ? std::atoi(argv[3]) : 1;
    QByteArray packet(6, char(0xFF));
    for (int i = 0; i < 16; ++i)
        packet += QByteArray::fromHex("0A1B2C3D4E5F");
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    for (int i = 0; i < count; ++i) {
        if (::sendto(fd, packet.constData(), size_t(packet.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) !=
            packet.size()) {
            std::perror("sendto");
            return 1;
        }
    }
    ::close(fd);
    return 0;
}
