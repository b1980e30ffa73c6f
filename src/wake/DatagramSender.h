#pragma once

#include <QByteArray>
#include <QString>

// The UDP socket of the window: a destination host and port, then datagrams.
// Every operation either succeeds or throws a Failure.
class DatagramSender {
public:
    virtual ~DatagramSender() = default;

    // The destination host of the following datagrams, as typed: an IPv4
    // address or a host name. Nothing is checked until a datagram is sent.
    virtual void setRemoteHost(const QString& host) = 0;
    // The destination port of the following datagrams (a 16-bit value widened with its sign).
    virtual void setRemotePort(int port) = 0;
    // Sends the bytes as one datagram to the current destination.
    virtual void sendData(const QByteArray& payload) = 0;
};
