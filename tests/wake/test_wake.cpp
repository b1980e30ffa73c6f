#include "UdpReceiver.h"
#include "core/Failure.h"
#include "wake/MagicPacket.h"
#include "wake/UdpSender.h"

#include <QTest>

namespace {

const std::array<QString, 6> Sample = {QStringLiteral("00"), QStringLiteral("11"), QStringLiteral("22"),
                                       QStringLiteral("33"), QStringLiteral("44"), QStringLiteral("AB")};

QByteArray expectedPacket(const QByteArray& address)
{
    QByteArray packet(6, char(0xFF));
    for (int i = 0; i < 16; ++i)
        packet += address;
    return packet;
}

} // namespace

class TestWake : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void packetLayout();
    void statusText();
    void loopbackDelivery();
    void senderFailures_data();
    void senderFailures();
};

void TestWake::packetLayout()
{
    const QByteArray packet = buildMagicPacket(Sample);
    QCOMPARE(packet.size(), 102);
    QCOMPARE(packet, expectedPacket(QByteArray::fromHex("0011223344AB")));
    auto lower = Sample;
    lower[5] = QStringLiteral("ab");
    lower[0] = QStringLiteral("0 "); // the stored form of a one-digit byte
    QCOMPARE(buildMagicPacket(lower), packet);
}

void TestWake::statusText()
{
    QCOMPARE(statusTextFor(Failure::overflow(QString())), QStringLiteral("ERROR:1000006"));
    QCOMPARE(statusTextFor(Failure::subscriptOutOfRange(QString())), QStringLiteral("ERROR:1000009"));
    QCOMPARE(statusTextFor(Failure::socket(11001, QString())), QStringLiteral("ERROR:11001"));
    QCOMPARE(statusTextFor(Failure::socket(Failure::TreatedAsSuccess, QString())), QStringLiteral("OK"));
}

void TestWake::loopbackDelivery()
{
    UdpReceiver receiver;
    UdpSender sender;
    for (const QString& host : {QStringLiteral("127.0.0.1"), QStringLiteral("localhost")}) {
        sendMagicPacket(sender, Sample, host, QString::number(receiver.port()), QStringLiteral("3"));
        const QList<QByteArray> got = receiver.drain();
        QCOMPARE(got.size(), 3);
        for (const QByteArray& datagram : got)
            QCOMPARE(datagram, expectedPacket(QByteArray::fromHex("0011223344AB")));
    }
}

void TestWake::senderFailures_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("code");
    QTest::newRow("negative port") << "127.0.0.1" << -1 << 10049;
    QTest::newRow("port zero") << "127.0.0.1" << 0 << 10049;
    QTest::newRow("unknown name") << "no-such-host.invalid" << 9001 << 11001;
    QTest::newRow("empty host") << "" << 9001 << 10039;
}

void TestWake::senderFailures()
{
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(int, code);
    UdpSender sender;
    sender.setRemoteHost(host);
    sender.setRemotePort(port);
    try {
        sender.sendData(QByteArray(102, 0));
        QFAIL("the send must fail");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), code);
        QCOMPARE(failure.helpContext(), code);
    }
}

QTEST_GUILESS_MAIN(TestWake)
#include "test_wake.moc"
