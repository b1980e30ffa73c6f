#pragma once

#include "core/Failure.h"
#include "wake/DatagramSender.h"

#include <QList>

// A sender that records every datagram with its destination, and can fail with
// a chosen error at a chosen datagram (counted from 1 across the whole run).
class RecordingSender final : public DatagramSender {
public:
    struct Datagram {
        QString host;
        int port = 0;
        QByteArray payload;
    };

    void setRemoteHost(const QString& host) override { m_host = host; }
    void setRemotePort(int port) override { m_port = port; }
    void sendData(const QByteArray& payload) override
    {
        if (++m_attempts == m_failAt)
            throw Failure::socket(m_failNumber, QStringLiteral("injected failure"));
        m_sent.append({m_host, m_port, payload});
    }

    // The `attempt`-th call of sendData throws a failure with this number.
    void failAt(int attempt, int number) { m_failAt = attempt; m_failNumber = number; }

    const QList<Datagram>& sent() const { return m_sent; }
    void clear() { m_sent.clear(); m_attempts = 0; m_failAt = 0; }

private:
    QString m_host;
    int m_port = 0;
    int m_attempts = 0;
    int m_failAt = 0; // none: the attempts count from 1
    int m_failNumber = 0;
    QList<Datagram> m_sent;
};
