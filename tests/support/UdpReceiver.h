#pragma once

#include <QByteArray>
#include <QList>

// A UDP socket bound on 127.0.0.1 at a free port below 32768, for tests that check the
// bytes that really arrive.
class UdpReceiver {
public:
    // Bound on 127.0.0.1 at a free port, or on `address` at `port` when given.
    explicit UdpReceiver(const char* address = "127.0.0.1", int port = 0);
    ~UdpReceiver();
    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;

    int port() const { return m_port; }
    // Every datagram waiting now, after giving late ones `waitMs` to arrive.
    QList<QByteArray> drain(int waitMs = 50);

private:
    int m_fd = -1;
    int m_port = 0;
};
