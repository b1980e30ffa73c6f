#include "netbios/MacLookup.h"
#include "netbios/NetbiosCodec.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include <future>
#include <vector>

using namespace std::chrono_literals;

namespace {

const QByteArray Peer16("TARNELPEER      ");
const QByteArray Wildcard = netbios::wildcardName();

// A response to `request` whose one answer repeats its question (name, type,
// class) and holds `data`; both texts are hexadecimal.
QByteArray answer(const QByteArray& request, const QByteArray& data, const QByteArray& flags = "8400",
                  bool withQuestion = false)
{
    const QByteArray question = request.mid(12);
    return request.left(2) + QByteArray::fromHex(flags + (withQuestion ? "0001" : "0000") + "000100000000") +
           (withQuestion ? question : QByteArray()) + question +
           QByteArray::fromHex("0003f480" + QByteArray::number(data.size() / 2, 16).rightJustified(4, '0') + data);
}

// Node-status data: the name count, the 18-byte names, then the statistics, which are the address alone.
QByteArray statusData(int names, const QByteArray& mac = "000AE63B05F1")
{
    return QByteArray::number(names, 16).rightJustified(2, '0') + QByteArray(36 * names, '4') + mac;
}

} // namespace

class TestNetbios : public QObject {
    Q_OBJECT
    // A NetBIOS peer on 127.0.0.1 that the test drives step by step while the
    // lookup blocks a thread of its own. It can also answer from 127.0.0.2, a
    // source the lookup must not trust.
    QUdpSocket m_peer, m_otherPeer;
    QNetworkDatagram m_last;
    // One card whose subnet's broadcast address is the peer's.
    NetbiosOptions m_options{.interfaces = [] {
        return std::vector<net::InterfaceInfo>{
            {2, "eth0", true, false, true, {}, {{0x7F000001, 0xFF000000, 0x7F000001}}}};
    }};

    // The next request, or null after `ms` without one.
    QByteArray next(int ms)
    {
        if (!m_peer.hasPendingDatagrams() && !m_peer.waitForReadyRead(ms))
            return {};
        m_last = m_peer.receiveDatagram();
        return m_last.data();
    }
    void reply(const QByteArray& datagram, bool fromOther = false)
    {
        (fromOther ? m_otherPeer : m_peer)
            .writeDatagram(datagram, m_last.senderAddress(), quint16(m_last.senderPort()));
    }
    auto ask(const QString& computer) { return std::async(std::launch::async, lookUpMacAddress, computer, m_options); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_peer.bind(QHostAddress::LocalHost) && m_otherPeer.bind(QHostAddress(QStringLiteral("127.0.0.2"))));
        m_options.port = m_peer.localPort();
    }
    void requestBytes_data()
    {
        QTest::addColumn<QString>("name"); // null: the node status with the wildcard
        QTest::addColumn<QByteArray>("encodedName");
        QTest::newRow("wildcard") << QString() << QByteArray("CKAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
        QTest::newRow("only a to z in capitals") << "az`{" << QByteArray("EBFKGAHLCACACACACACACACACACACACA");
        QTest::newRow("20 characters") << "ABCDEFGHIJKLMNOPQRST" << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPFA");
        QTest::newRow("pair cut at 16") << QStringLiteral("ABCDEFGHIJKLMNO😀")
                                        << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPCA");
        QTest::newRow("not in code page 932") << QStringLiteral("😀A") << QByteArray("DPEBCACACACACACACACACACACACACACA");
        QTest::newRow("Japanese") << QStringLiteral("サーバー１") << QByteArray("IDFEIBFLIDGPIBFLICFACACACACACACA");
        QTest::newRow("double bytes past 16")
            << QStringLiteral("開発部第一課のパソコン１号機です") << QByteArray("IKEKJEKNJFJEJBOGIIOKIJNLICMMIDHA");
    }
    void requestBytes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, encodedName);
        const bool wildcard = name.isNull();
        const QByteArray request =
            wildcard
                ? netbios::buildNodeStatusRequest(0x1234, Wildcard)
                : netbios::buildNameQueryRequest(0x1234, netbios::nameBytes(name, netbios::LetterCase::Upper), true);
        // Flags: none, or recursion desired and broadcast; type NBSTAT or NB, class IN.
        QCOMPARE(request.toHex(),
                 QByteArray::fromHex(wildcard ? "123400000001000000000000" : "123401100001000000000000")
                     .append('\x20' + encodedName + '\0')
                     .append(QByteArray::fromHex(wildcard ? "00210001" : "00200001"))
                     .toHex());
    }
    void replies_data()
    {
        QTest::addColumn<QString>("name"); // empty: a node status
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("expected"); // empty: refused

        const QByteArray status = netbios::buildNodeStatusRequest(0x1234, Wildcard);
        for (int names : {0, 1, 255})
            QTest::addRow("%d names", names) << "" << answer(status, statusData(names)) << "000AE63B05F1";
        QTest::newRow("question echoed") << "" << answer(status, statusData(1), "8400", true) << "000AE63B05F1";
        QTest::newRow("name by pointer") << "" << answer(status, statusData(1)).replace(12, 34, "\xC0\x0C")
                                         << "000AE63B05F1";
        QTest::newRow("address past the data") << "" << answer(status, statusData(1).chopped(2)) + '\xF1' << "";
        QTest::newRow("other transaction")
            << "" << answer(netbios::buildNodeStatusRequest(0x1235, Wildcard), statusData(1)) << "";
        QTest::newRow("error code") << "" << answer(status, statusData(1), "8403") << "";
        QTest::newRow("a request") << "" << answer(status, statusData(1), "0400") << "";
        QTest::newRow("opcode 5") << "" << answer(status, statusData(1), "ac00") << "";
        QTest::newRow("no answer") << "" << answer(status, statusData(1)).replace(7, 1, "\0", 1) << "";
        QTest::newRow("type NB") << "" << answer(netbios::buildNameQueryRequest(0x1234, Wildcard, true), statusData(1))
                                 << "";

        const QByteArray query = netbios::buildNameQueryRequest(0x1234, Peer16, true);
        QTest::newRow("first usable address")
            << "TARNELPEER" << answer(query, "0000000000006000ffffffff6000c0a80005") << "192.168.0.5";
        // The name is the first label; a NetBIOS scope may follow it.
        QTest::newRow("scope") << "TARNELPEER" << answer(query, "6000c0a80005").insert(45, "\x05SCOPE")
                               << "192.168.0.5";
        QTest::newRow("another name") << "TARNELPEEX" << answer(query, "6000c0a80005") << "";
        QTest::newRow("no usable address") << "TARNELPEER" << answer(query, "000000000000") << "";
    }
    void replies()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, reply);
        QFETCH(QString, expected);
        // Read from a copy the sanitizer guards byte for byte: one past its end is caught.
        const auto parsed = [&](qsizetype length) {
            const std::vector<char> bytes(reply.begin(), reply.begin() + length);
            const QByteArrayView copy(bytes.data(), length);
            if (name.isEmpty()) {
                const std::optional<netbios::MacBytes> mac = netbios::parseNodeStatusReply(copy, 0x1234);
                return mac ? QString(QByteArray(reinterpret_cast<const char*>(mac->data()), 6).toHex().toUpper())
                           : QString();
            }
            const auto address = netbios::parseNameQueryReply(copy, 0x1234, netbios::nameBytes(name));
            return address ? QHostAddress(*address).toString() : QString();
        };
        QCOMPARE(parsed(reply.size()), expected);
        // A reply cut anywhere is refused.
        for (qsizetype length = 0; length < reply.size(); ++length)
            QVERIFY2(parsed(length).isEmpty(), qPrintable(QString::number(length)));
    }
    // "*" is this computer: its adapter 0, never asked over the network.
    void localAdapter()
    {
        // Out of index order; before 7, each is unusable: loopback, down, all zero, none, not six bytes.
        const std::vector<net::InterfaceInfo> interfaces{
            {9, "eth9", true, false, true, QByteArray(6, 9), {}},
            {1, "lo", true, true, false, QByteArray(6, 1), {}},
            {2, "down", false, false, true, QByteArray(6, 2), {}},
            {3, "zero", true, false, true, QByteArray(6, 0), {}},
            {4, "tun", true, false, false, {}, {}},
            {5, "ib", true, false, true, QByteArray(20, 5), {}},
            {7, "eth7", true, false, true, QByteArray::fromHex("0a0b0c0d0e0f"), {}}};
        const NetbiosOptions options{.interfaces = [&] { return interfaces; }};
        QCOMPARE(lookUpMacAddress(QStringLiteral("*"), options), QStringLiteral("0A0B0C0D0E0F"));
    }
    void lookUp_data()
    {
        QTest::addColumn<QString>("computer");
        QTest::addColumn<QString>("expected");
        const QString mac = QStringLiteral("000AE63B05F1");
        QTest::newRow("address") << "127.0.0.1 " << mac;
        QTest::newRow("NetBIOS name, asked in capitals") << "tarnelpeer" << mac;
        QTest::newRow("host name") << "localhost" << mac;
        QTest::newRow("unknown name") << "tarnelpeeX" << QString();
    }
    // The peer knows itself as TARNELPEER; each node status is answered
    // first from the wrong address.
    void lookUp()
    {
        QFETCH(QString, computer);
        QFETCH(QString, expected);
        std::future<QString> mac = ask(computer);
        for (int i = 0; i < 200 && mac.wait_for(0s) != std::future_status::ready; ++i) {
            const QByteArray request = next(50);
            if (request.mid(2) == netbios::buildNameQueryRequest(0, Peer16, true).mid(2))
                reply(answer(request, "00007f000001"));
            if (request.mid(2) == netbios::buildNodeStatusRequest(0, Wildcard).mid(2)) {
                reply(answer(request, statusData(0, "FFFFFFFFFFFF")), true);
                reply(answer(request, statusData(0)));
            }
        }
        QCOMPARE(mac.get(), expected);
    }
    void silentPeerAskedThreeTimes()
    {
        QCOMPARE(lookUpMacAddress(QString(), m_options), QString());
        QVERIFY(next(0).isNull()); // nobody is asked about nothing
        QElapsedTimer timer;
        timer.start();
        std::future<QString> mac = ask(QStringLiteral("127.0.0.1"));
        QList<QByteArray> requests;
        QList<qint64> times;
        for (QByteArray request; !(request = next(900)).isNull(); times.append(timer.elapsed()))
            requests.append(request);
        QCOMPARE(mac.get(), QString());
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
        // Three tries of one transaction, half a second apart.
        QCOMPARE(requests, QList<QByteArray>(3, requests.value(0)));
        QVERIFY(times[1] - times[0] > 300 && times[2] - times[1] > 300);
    }
};

QTEST_GUILESS_MAIN(TestNetbios)
#include "test_netbios.moc"
