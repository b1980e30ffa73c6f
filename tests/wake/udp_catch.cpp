// udp_catch PORT MILLISECONDS: prints "ready" once bound, then each datagram
// that reaches PORT on any address within the time, in hexadecimal, a line each.
#include <QByteArray>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <cstdio>

int main(int argc, char* argv[])
{
    QUdpSocket socket;
    if (argc < 3 || !socket.bind(QHostAddress::AnyIPv4, quint16(QByteArray(argv[1]).toUInt())))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    for (const qint64 limit = QByteArray(argv[2]).toLongLong(); timer.elapsed() < limit;) {
        if (socket.waitForReadyRead(int(limit - timer.elapsed())))
            while (socket.hasPendingDatagrams())
                std::printf("%s\n", socket.receiveDatagram().data().toHex().constData()), std::fflush(stdout);
    }
    return 0;
}
