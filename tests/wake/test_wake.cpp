#include "UdpReceiver.h"
#include "core/Failure.h"
#include "wake/MagicPacket.h"
#include "wake/UdpSender.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestWake : public QObject {
    Q_OBJECT
    UdpReceiver m_receiver;
    const QByteArray m_packet = QByteArray(6, '\xFF') + QByteArray::fromHex("0011223344AB").repeated(16);

private Q_SLOTS:
    void send_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<QString>("expected"); // the status text shown, and the datagrams received
        const QString port = QString::number(m_receiver.port());
        QTest::newRow("address, three times") << "127.0.0.1" << port << "3" << u"OK 3"_s;
        QTest::newRow("host name, no repeat number") << "localhost" << port << "x" << u"OK 1"_s;
        QTest::newRow("repeat past 16 bits") << "127.0.0.1" << port << "32768" << u"ERROR:1000006 0"_s;
        QTest::newRow("port 0") << "127.0.0.1" << u"0"_s << "1" << u"ERROR:10049 0"_s;
        QTest::newRow("unknown host") << "no-such-host.invalid" << port << "1" << u"ERROR:11001 0"_s;
        QTest::newRow("empty host") << "" << port << "1" << u"ERROR:10039 0"_s;
    }
    void send()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, repeat);
        QFETCH(QString, expected);
        UdpSender sender;
        QString shown = u"OK"_s;
        try {
            sendMagicPacket(sender, {"00", "11", "22", "33", "44", "AB"}, host, port, repeat);
        } catch (const Failure& failure) {
            shown = statusTextFor(failure);
        }
        const QList<QByteArray> got = m_receiver.drain();
        QCOMPARE(shown + u' ' + QString::number(got.size()), expected);
        QCOMPARE(got, QList<QByteArray>(got.size(), m_packet));
    }
    void error126IsSuccess()
    {
        QCOMPARE(statusTextFor(Failure::socket(Failure::TreatedAsSuccess, QString())), u"OK"_s);
    }
};

QTEST_GUILESS_MAIN(TestWake)
#include "test_wake.moc"
