#pragma once

#include <QList>
#include <QUdpSocket>

// A UDP socket for tests that check the bytes that really arrive.
class UdpReceiver {
public:
    // Bound on 127.0.0.1 at a free port below 32768 (the window reads a port as a
    // 16-bit signed number), or on `address` at `port` when given.
    explicit UdpReceiver(const char* address = "127.0.0.1", int port = 0);

    int port() const { return m_socket.localPort(); }
    // Every datagram waiting now, after giving late ones `waitMs` to arrive.
    QList<QByteArray> drain(int waitMs = 50);

private:
    QUdpSocket m_socket;
};
