#include "UdpReceiver.h"

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QVariant>

UdpReceiver::UdpReceiver(const char* address, int port)
{
    const QHostAddress host(QString::fromLatin1(address));
    for (port = port > 0 ? port : 20000 + int(QCoreApplication::applicationPid() % 8000); port < 32768; ++port) {
        if (m_socket.bind(host, quint16(port), QUdpSocket::DontShareAddress))
            break;
    }
    m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 8 << 20);
}

QList<QByteArray> UdpReceiver::drain(int waitMs)
{
    QList<QByteArray> datagrams;
    while (m_socket.hasPendingDatagrams() || m_socket.waitForReadyRead(waitMs)) {
        while (m_socket.hasPendingDatagrams())
            datagrams.append(m_socket.receiveDatagram().data());
        waitMs = 20;
    }
    return datagrams;
}
