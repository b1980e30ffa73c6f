#include "netbios/MacLookup.h"
#include "netbios/NetbiosCodec.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include <future>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using namespace netbios;

namespace {

const QByteArray Peer16("TARNELPEER      ");
const QByteArray Wildcard = wildcardName();

// A response to `request` whose one answer repeats its question (name, type,
// class) and holds `data`; both texts are hexadecimal.
QByteArray answer(const QByteArray& request, const QByteArray& data, const QByteArray& flags = "8400")
{
    return request.left(2) + QByteArray::fromHex(flags + "0000000100000000") + request.mid(12) +
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
    // lookup blocks a thread of its own. It can also answer from 127.0.0.2 or
    // from another port, sources the lookup must not trust.
    QUdpSocket m_peer, m_otherAddress, m_otherPort;
    QNetworkDatagram m_last;
    const bool m_bound = m_peer.bind(QHostAddress::LocalHost) && m_otherAddress.bind(QHostAddress(u"127.0.0.2"_s)) &&
                         m_otherPort.bind(QHostAddress::LocalHost);
    // One card whose subnet's broadcast address is the peer's.
    NetbiosOptions m_options{.port = m_peer.localPort(), .interfaces = [] {
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
    void reply(const QByteArray& datagram, QUdpSocket* from = nullptr)
    {
        (from ? *from : m_peer).writeDatagram(datagram, m_last.senderAddress(), quint16(m_last.senderPort()));
    }
    auto ask(const QString& computer) { return std::async(std::launch::async, lookUpMacAddress, computer, m_options); }

private Q_SLOTS:
    void requestBytes_data()
    {
        QTest::addColumn<QString>("name"); // null: the node status with the wildcard
        QTest::addColumn<QByteArray>("encodedName");
        QTest::newRow("wildcard") << QString() << QByteArray("CKAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
        QTest::newRow("only a to z in capitals") << "az`{" << QByteArray("EBFKGAHLCACACACACACACACACACACACA");
        QTest::newRow("pair cut at 16") << u"ABCDEFGHIJKLMNO😀"_s << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPCA");
        QTest::newRow("not in code page 932") << u"😀A"_s << QByteArray("DPEBCACACACACACACACACACACACACACA");
        QTest::newRow("Japanese") << u"サーバー１"_s << QByteArray("IDFEIBFLIDGPIBFLICFACACACACACACA");
        QTest::newRow("past 16 bytes") << u"開発部第一課のパソコン１号機です"_s
                                       << QByteArray("IKEKJEKNJFJEJBOGIIOKIJNLICMMIDHA");
    }
    void requestBytes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, encodedName);
        const bool wildcard = name.isNull();
        const QByteArray request = wildcard ? buildNodeStatusRequest(0x1234, Wildcard)
                                            : buildNameQueryRequest(0x1234, nameBytes(name, LetterCase::Upper), true);
        // Flags: none, or recursion desired and broadcast; type NBSTAT or NB, class IN.
        QCOMPARE(request.toHex(), QByteArray(wildcard ? "12340000" : "12340110") + "000100000000000020" +
                                      encodedName.toHex() + (wildcard ? "0000210001" : "0000200001"));
    }
    void replies_data()
    {
        QTest::addColumn<QString>("name"); // empty: a node status
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("expected"); // hexadecimal; empty: refused

        const QByteArray status = buildNodeStatusRequest(0x1234, Wildcard), one = statusData(1);
        const QByteArray query = buildNameQueryRequest(0x1234, Peer16, true), address("c0a80005");
        const QByteArray mac("000ae63b05f1"), refused;
        for (int names : {0, 1, 255})
            QTest::addRow("%d names", names) << "" << answer(status, statusData(names)) << mac;
        QTest::newRow("question") << "" << answer(status, one).insert(12, status.mid(12)).replace(5, 1, "\1") << mac;
        QTest::newRow("name by pointer") << "" << answer(status, one).replace(12, 34, "\xC0\x0C") << mac;
        QTest::newRow("address past the data") << "" << answer(status, one.chopped(2)) + '\xF1' << refused;
        QTest::newRow("other transaction") << "" << answer(status, one).replace(1, 1, "\x35") << refused;
        QTest::newRow("error code") << "" << answer(status, one, "8403") << refused;
        QTest::newRow("a request") << "" << answer(status, one, "0400") << refused;
        QTest::newRow("opcode 5") << "" << answer(status, one, "ac00") << refused;
        QTest::newRow("no answer") << "" << answer(status, one).replace(7, 1, "\0", 1) << refused;
        QTest::newRow("type NB") << "" << answer(query, one) << refused;

        QTest::newRow("usable") << "TARNELPEER" << answer(query, "0000000000006000ffffffff6000c0a80005") << address;
        // The name is the first label; a NetBIOS scope may follow it.
        QTest::newRow("scope") << "TARNELPEER" << answer(query, "6000c0a80005").insert(45, "\x05SCOPE") << address;
        QTest::newRow("another name") << "TARNELPEEX" << answer(query, "6000c0a80005") << refused;
        QTest::newRow("no whole usable entry") << "TARNELPEER" << answer(query, "0000000000006000c0a800") << refused;
    }
    void replies()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, expected);
        // Read from a copy the sanitizer guards byte for byte: one past its end is caught.
        const auto parsed = [&](qsizetype length) -> QByteArray {
            const std::vector<char> bytes(reply.begin(), reply.begin() + length);
            const QByteArrayView copy(bytes.data(), length);
            if (const auto mac = parseNodeStatusReply(copy, 0x1234); name.isEmpty())
                return mac ? QByteArray(reinterpret_cast<const char*>(mac->data()), 6).toHex() : QByteArray();
            const auto address = parseNameQueryReply(copy, 0x1234, nameBytes(name));
            return address ? QByteArray::number(*address, 16) : QByteArray();
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
        QCOMPARE(lookUpMacAddress(u"*"_s, options), u"0A0B0C0D0E0F"_s);
    }
    void lookUp_data()
    {
        QTest::addColumn<QString>("computer");
        QTest::addColumn<QString>("expected");
        const QString mac = u"000AE63B05F1"_s;
        QTest::newRow("address") << "127.0.0.1 " << mac;
        QTest::newRow("NetBIOS name, asked in capitals") << "tarnelpeer" << mac;
        QTest::newRow("host name") << "localhost" << mac;
        QTest::newRow("unknown name") << "tarnelpeeX" << QString();
    }
    // The peer knows itself as TARNELPEER; each question is answered first
    // from the wrong address and the wrong port.
    void lookUp()
    {
        QFETCH(QString, computer);
        QFETCH(QString, expected);
        std::future<QString> mac = ask(computer);
        for (int i = 0; i < 200 && mac.wait_for(0s) != std::future_status::ready; ++i) {
            const QByteArray request = next(50);
            if (request.mid(2) == buildNameQueryRequest(0, Peer16, true).mid(2)) {
                reply(answer(request, "00007f000002"), &m_otherPort);
                reply(answer(request, "00007f000001"));
            }
            if (request.mid(2) == buildNodeStatusRequest(0, Wildcard).mid(2)) {
                reply(answer(request, statusData(0, "FFFFFFFFFFFF")), &m_otherAddress);
                reply(answer(request, statusData(0, "EEEEEEEEEEEE")), &m_otherPort);
                reply(answer(request, statusData(0)));
            }
        }
        QCOMPARE(mac.get(), expected);
    }
    // When NetBIOS tells no address, a computer on a directly attached network
    // is found in the neighbour table; an address NetBIOS tells is kept.
    void neighbourTableFallback_data()
    {
        QTest::addColumn<QByteArray>("status"); // the peer's answer; empty: nothing on the port
        QTest::addColumn<bool>("onLink");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing on the port") << QByteArray() << true << u"0A1B2C3D4E5F"_s;
        QTest::newRow("all zeros") << QByteArray("000000000000") << true << u"0A1B2C3D4E5F"_s;
        QTest::newRow("NetBIOS tells one") << QByteArray("000AE63B05F1") << true << u"000AE63B05F1"_s;
        QTest::newRow("behind a router") << QByteArray("000000000000") << false << QString();
    }
    void neighbourTableFallback()
    {
        QFETCH(QByteArray, status);
        QFETCH(bool, onLink);
        QFETCH(QString, expected);
        QUdpSocket closed; // a port that was just free, so nothing is on it
        QVERIFY(closed.bind(QHostAddress::LocalHost));
        NetbiosOptions options = m_options;
        options.port = status.isEmpty() ? closed.localPort() : m_peer.localPort();
        closed.close();
        // The peer's 127.0.0.1 lies on this card's subnet, or on no card's.
        const std::uint32_t card = onLink ? 0x7F000002 : 0x0A000002;
        options.interfaces = [card] {
            return std::vector<net::InterfaceInfo>{{2, "eth0", true, false, true, {}, {{card, 0xFF000000, 0}}}};
        };
        options.neighbours = [] {
            return std::vector<net::Neighbour>{{0x7F000001, {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}, "eth0"},
                                               {0x7F000001, {1, 2, 3, 4, 5, 6}, "eth1"}};
        };
        QElapsedTimer timer;
        timer.start();
        std::future<QString> mac = std::async(std::launch::async, lookUpMacAddress, u"127.0.0.1"_s, options);
        if (!status.isEmpty()) {
            const QByteArray request = next(1000);
            reply(answer(request, statusData(0, status)));
        }
        QCOMPARE(mac.get(), expected);
        // Refused or answered: no waiting for the two seconds.
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    }
    void silentPeerAskedThreeTimes()
    {
        QCOMPARE(lookUpMacAddress(QString(), m_options), QString());
        QVERIFY(next(0).isNull()); // nobody is asked about nothing
        QElapsedTimer timer;
        timer.start();
        std::future<QString> mac = ask(u"127.0.0.1"_s);
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
