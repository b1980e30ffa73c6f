#include "UdpReceiver.h"
#include "core/Failure.h"
#include "wake/MagicPacket.h"
#include "wake/UdpSender.h"

#include <QTest>

class TestWake : public QObject {
    Q_OBJECT
    UdpReceiver m_receiver;

private Q_SLOTS:
    void send_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<int>("datagrams");
        QTest::addColumn<QString>("status");
        const QString port = QString::number(m_receiver.port());
        QTest::newRow("address, three times") << "127.0.0.1" << port << "3" << 3 << "OK";
        QTest::newRow("host name, no repeat number") << "localhost" << port << "x" << 1 << "OK";
        QTest::newRow("repeat past 16 bits") << "127.0.0.1" << port << "32768" << 0 << "ERROR:1000006";
        QTest::newRow("port 0") << "127.0.0.1"
                                << "0"
                                << "1" << 0 << "ERROR:10049";
        QTest::newRow("unknown host") << "no-such-host.invalid" << port << "1" << 0 << "ERROR:11001";
        QTest::newRow("empty host") << "" << port << "1" << 0 << "ERROR:10039";
    }
    void send()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, repeat);
        QFETCH(int, datagrams);
        QFETCH(QString, status);
        UdpSender sender;
        try {
            sendMagicPacket(sender, {"00", "11", "22", "33", "44", "AB"}, host, port, repeat);
            QCOMPARE(QStringLiteral("OK"), status);
        } catch (const Failure& failure) {
            QCOMPARE(statusTextFor(failure), status);
        }
        const QByteArray packet = QByteArray(6, '\xFF') + QByteArray::fromHex("0011223344AB").repeated(16);
        QCOMPARE(m_receiver.drain(), QList<QByteArray>(datagrams, packet));
    }
    void error126IsSuccess()
    {
        QCOMPARE(statusTextFor(Failure::socket(Failure::TreatedAsSuccess, QString())), QStringLiteral("OK"));
    }
};

QTEST_GUILESS_MAIN(TestWake)
#include "test_wake.moc"
