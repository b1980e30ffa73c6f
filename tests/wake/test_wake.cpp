#include "Failure.h"
#include "MagicPacket.h"
#include "RecordingSender.h"
#include "UdpReceiver.h"
#include "UdpSender.h"

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

int failureNumber(const std::function<void()>& step)
{
    try {
        step();
    } catch (const Failure& failure) {
        return failure.number();
    }
    return 0;
}

} // namespace

class TestWake : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void packetLayout();
    void badByteStopsBeforeAnything();
    void repeatCounts_data();
    void repeatCounts();
    void failureStopsTheRepeats();
    void statusText();
    void loopbackDelivery();
    void senderFailures_data();
    void senderFailures();
};

void TestWake::packetLayout()
{
    const QByteArray packet = BuildMagicPacket(Sample);
    QCOMPARE(packet.size(), 102);
    QCOMPARE(packet, expectedPacket(QByteArray::fromHex("0011223344AB")));
    auto lower = Sample;
    lower[5] = QStringLiteral("ab");
    lower[0] = QStringLiteral("0 "); // the stored form of a one-digit byte
    QCOMPARE(BuildMagicPacket(lower), packet);
}

void TestWake::badByteStopsBeforeAnything()
{
    RecordingSender sender;
    auto texts = Sample;
    texts[4] = QString();
    try {
        SendMagicPacket(sender, texts, QStringLiteral("h"), QStringLiteral("9001"), QStringLiteral("1"));
        QFAIL("an empty byte must not send");
    } catch (const Failure& failure) {
        QCOMPARE(StatusTextFor(failure), QStringLiteral("ERROR:1000013"));
    }
    QVERIFY(sender.sent().isEmpty());
}

void TestWake::repeatCounts_data()
{
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<int>("datagrams");
    QTest::newRow("three") << "3" << 3;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("empty counts as one") << "" << 1;
    QTest::newRow("letter counts as one") << "x" << 1;
    QTest::newRow("negative sends nothing") << "-2" << 0;
    QTest::newRow("fraction rounds to even") << "2.5" << 2;
}

void TestWake::repeatCounts()
{
    QFETCH(QString, repeat);
    QFETCH(int, datagrams);
    RecordingSender sender;
    SendMagicPacket(sender, Sample, QStringLiteral("10.0.0.1"), QStringLiteral("9001"), repeat);
    QCOMPARE(sender.sent().size(), datagrams);
    for (const auto& datagram : sender.sent()) {
        QCOMPARE(datagram.host, QStringLiteral("10.0.0.1"));
        QCOMPARE(datagram.port, 9001);
        QCOMPARE(datagram.payload.size(), 102);
    }
}

void TestWake::failureStopsTheRepeats()
{
    RecordingSender sender;
    sender.failAt(2, Failure::TreatedAsSuccess);
    try {
        SendMagicPacket(sender, Sample, QStringLiteral("h"), QStringLiteral("9001"), QStringLiteral("5"));
        QFAIL("the injected failure must stop the send");
    } catch (const Failure& failure) {
        QCOMPARE(StatusTextFor(failure), QStringLiteral("OK"));
    }
    QCOMPARE(sender.sent().size(), 1);

    // An empty port fails after the host is set, before any datagram.
    RecordingSender second;
    QCOMPARE(failureNumber([&] { SendMagicPacket(second, Sample, QStringLiteral("h"), QString(), QStringLiteral("1")); }),
             int(Failure::TypeMismatch));
    QVERIFY(second.sent().isEmpty());
}

void TestWake::statusText()
{
    QCOMPARE(StatusTextFor(Failure::overflow(QString())), QStringLiteral("ERROR:1000006"));
    QCOMPARE(StatusTextFor(Failure::subscriptOutOfRange(QString())), QStringLiteral("ERROR:1000009"));
    QCOMPARE(StatusTextFor(Failure::socket(11001, QString())), QStringLiteral("ERROR:11001"));
}

void TestWake::loopbackDelivery()
{
    UdpReceiver receiver;
    UdpSender sender;
    for (const QString& host : {QStringLiteral("127.0.0.1"), QStringLiteral("localhost")}) {
        SendMagicPacket(sender, Sample, host, QString::number(receiver.port()), QStringLiteral("3"));
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
