#include "netbios/MacLookup.h"
#include "netbios/NetbiosCodec.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTest>

#include <arpa/inet.h>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using netbios::MacBytes;

namespace {

// What nmbd answered in a real exchange: a node status for "*" (transaction
// 0x1234, five names, all-zero unit id) and a broadcast query for TARNELPEER
// (transaction 0x4321, address 10.231.0.1).
const QByteArray NmbdNodeStatus = QByteArray::fromHex(
    "12348400000000010000000020434b4141414141414141414141414141414141414141414141414141414141410000210001000000"
    "000089055441524e454c5045455220202020200004005441524e454c5045455220202020200304005441524e454c50454552202020"
    "20202004005445535447525020202020202020200084005445535447525020202020202020201e8400000000000000000000000000"
    "00000000000000000000000000000000000000000000000000000000000000000000");
const QByteArray NmbdNameQuery = QByteArray::fromHex(
    "43218580000000010000000020464545424643454f4546454d464145464546464343414341434143414341434100002000010003f4"
    "80000600000ae70001");

const MacBytes SampleMac{0x00, 0x0A, 0xE6, 0x3B, 0x05, 0xF1};
const MacBytes OtherMac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const QByteArray Peer16("TARNELPEER      ");

QByteArray uint16Bytes(int value)
{
    const char bytes[2]{char(value >> 8), char(value)};
    return QByteArray(bytes, 2);
}

// A request's transaction id is at 0, its question type at 46.
int uint16At(const QByteArray& bytes, int at)
{
    return bytes.size() >= at + 2 ? (quint8(bytes[at]) << 8 | quint8(bytes[at + 1])) : -1;
}

// A response with one answer record about the 16-byte `name`.
QByteArray answer(int id, int flags, const QByteArray& name, int type, const QByteArray& data, int lengthDelta = 0)
{
    QByteArray encoded(1, char(32));
    for (char c : name)
        encoded.append(char('A' + (quint8(c) >> 4))).append(char('A' + (quint8(c) & 0x0F)));
    return uint16Bytes(id) + uint16Bytes(flags) + QByteArray::fromHex("0000000100000000") + encoded + '\0' +
           uint16Bytes(type) + QByteArray::fromHex("00010003f480") + uint16Bytes(int(data.size()) + lengthDelta) + data;
}

struct ReplyShape {
    int flags = 0x8400;
    int type = netbios::TypeNodeStatus;
    int names = 3;
    int statisticsLength = 46;
    int lengthDelta = 0; // added to the true data length
};

QByteArray nodeStatusReply(int id, const MacBytes& mac, const ReplyShape& shape = {})
{
    QByteArray data(1, char(shape.names));
    for (int i = 0; i < shape.names; ++i)
        data += "NAME" + QByteArray(12, char('0' + i % 10)) + QByteArray::fromHex("0400");
    data += QByteArray(reinterpret_cast<const char*>(mac.data()), 6).append(40, '\x55').left(shape.statisticsLength);
    return answer(id, shape.flags, netbios::wildcardName(), shape.type, data, shape.lengthDelta);
}

QByteArray nameQueryReply(int id, const QByteArray& name, const QList<QByteArray>& addresses, int flags = 0x8580)
{
    QByteArray data;
    for (const QByteArray& address : addresses)
        data += QByteArray::fromHex("0000" + address);
    return answer(id, flags, name, netbios::TypeNb, data);
}

// What the codec reads from a reply: the hardware address of a node status
// when `name` is empty, else the address of a name-query answer for `name`.
// It reads from a copy the sanitizer guards byte for byte: reading one past
// its end is caught.
QString parsed(const QByteArray& reply, const QString& name)
{
    const std::vector<char> bytes(reply.begin(), reply.end());
    const QByteArrayView copy(bytes.data(), qsizetype(bytes.size()));
    if (name.isEmpty()) {
        const std::optional<MacBytes> mac = netbios::parseNodeStatusReply(copy, 0x1234);
        return mac ? QString(QByteArray(reinterpret_cast<const char*>(mac->data()), 6).toHex().toUpper()) : QString();
    }
    const std::optional<std::uint32_t> address = netbios::parseNameQueryReply(copy, 0x4321, netbios::nameBytes(name));
    return address ? QHostAddress(*address).toString() : QString();
}

// A NetBIOS peer on 127.0.0.1 that answers from its own thread, since the
// query blocks the test's thread. It can also answer from 127.0.0.2, a source
// the query must not trust.
class FakePeer {
public:
    struct Reply {
        QByteArray datagram;
        bool fromOtherAddress = false;
    };
    using Answer = std::function<QList<Reply>(const QByteArray& request)>;

    explicit FakePeer(Answer answer)
        : m_answer(std::move(answer)), m_fd(openSocket(INADDR_LOOPBACK)), m_otherFd(openSocket(INADDR_LOOPBACK + 1))
    {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length);
        m_options.port = ntohs(local.sin_port);
        m_options.timeout = std::chrono::milliseconds(600);
        m_options.retryInterval = std::chrono::milliseconds(200);
        // One Ethernet card whose subnet's broadcast address is the peer's.
        m_options.interfaces = [] {
            return std::vector<net::InterfaceInfo>{{2,
                                                    "eth0",
                                                    true,
                                                    false,
                                                    true,
                                                    QByteArray::fromHex("000AE63B05F1"),
                                                    {{INADDR_LOOPBACK, 0xFF000000, INADDR_LOOPBACK}}}};
        };
        m_thread = std::jthread([this](std::stop_token stop) { run(stop); });
    }
    ~FakePeer()
    {
        m_thread = {};
        ::close(m_fd);
        ::close(m_otherFd);
    }

    const NetbiosOptions& options() const { return m_options; }
    // Stops the peer: what it received is then safe to read.
    QList<QByteArray> requests()
    {
        m_thread = {};
        return m_requests;
    }

private:
    static int openSocket(std::uint32_t address)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(address);
        ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
        return fd;
    }

    void run(const std::stop_token& stop)
    {
        while (!stop.stop_requested()) {
            pollfd pfd{m_fd, POLLIN, 0};
            char buffer[2048];
            sockaddr_in client{};
            socklen_t length = sizeof client;
            if (::poll(&pfd, 1, 20) <= 0)
                continue;
            const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&client), &length);
            if (n < 0)
                continue;
            m_requests.append(QByteArray(buffer, qsizetype(n)));
            for (const Reply& reply : m_answer(m_requests.last()))
                ::sendto(reply.fromOtherAddress ? m_otherFd : m_fd, reply.datagram.constData(),
                         std::size_t(reply.datagram.size()), 0, reinterpret_cast<sockaddr*>(&client), length);
        }
    }

    Answer m_answer;
    int m_fd = -1;
    int m_otherFd = -1;
    NetbiosOptions m_options;
    QList<QByteArray> m_requests;
    std::jthread m_thread;
};

} // namespace

class TestNetbios : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void requestBytes_data();
    void requestBytes();
    void replies_data();
    void replies();
    void localAdapter_data();
    void localAdapter();

    // Against a peer on 127.0.0.1
    void answeredOverLoopback();
    void silentPeerGivesUpInTime();
    void untrustedReplyIgnored_data();
    void untrustedReplyIgnored();
    void nameFoundByBroadcast();
    void hostNameFoundByResolver();
};

void TestNetbios::requestBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("encodedName"); // the 32 letters of first-level encoding

    // The node status asks with the wildcard; names are asked by a broadcast query, in capitals.
    QTest::newRow("wildcard node status") << QString() << QByteArray("CKAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
    QTest::newRow("1 character, asked in capitals") << "a" << QByteArray("EBCACACACACACACACACACACACACACACA");
    QTest::newRow("15 characters") << "ABCDEFGHIJKLMNO" << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPCA");
    QTest::newRow("16 characters") << "ABCDEFGHIJKLMNOP" << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPFA");
    QTest::newRow("20 characters, cut to 16")
        << "ABCDEFGHIJKLMNOPQRST" << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPFA");
    QTest::newRow("Japanese, 5 characters")
        << QStringLiteral("サーバー１") << QByteArray("IDFEIBFLIDGPIBFLICFACACACACACACA");
    QTest::newRow("Japanese, 16 characters: 8 fit")
        << QStringLiteral("開発部第一課のパソコン１号機です") << QByteArray("IKEKJEKNJFJEJBOGIIOKIJNLICMMIDHA");
}

void TestNetbios::requestBytes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, encodedName);
    const bool wildcard = name.isNull();
    const QByteArray request =
        wildcard ? netbios::buildNodeStatusRequest(0x1234, netbios::wildcardName())
                 : netbios::buildNameQueryRequest(0x4321, netbios::nameBytes(name, netbios::LetterCase::Upper), true);
    // Header (id, flags: none or recursion desired + broadcast, one question), name, type and class IN.
    const QByteArray expected =
        QByteArray::fromHex(wildcard ? "123400000001000000000000" : "432101100001000000000000") + '\x20' + encodedName +
        '\0' + QByteArray::fromHex(wildcard ? "00210001" : "00200001");
    QCOMPARE(request.toHex(), expected.toHex());
}

void TestNetbios::replies_data()
{
    QTest::addColumn<QString>("name"); // empty: a node status
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("expected"); // empty: rejected

    const MacBytes counting{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
    for (int names : {0, 1, 5, 31, 32, 255})
        QTest::addRow("%d names", names) << "" << nodeStatusReply(0x1234, counting, {.names = names}) << "0123456789AB";
    QTest::newRow("only the unit id of the statistics")
        << "" << nodeStatusReply(0x1234, SampleMac, {.statisticsLength = 6}) << "000AE63B05F1";
    QTest::newRow("nmbd node status") << "" << NmbdNodeStatus << "000000000000";
    QTest::newRow("wrong transaction id") << "" << nodeStatusReply(0x1235, SampleMac) << "";
    QTest::newRow("error code") << "" << nodeStatusReply(0x1234, SampleMac, {.flags = 0x8403}) << "";
    QTest::newRow("a request, not a response") << "" << nodeStatusReply(0x1234, SampleMac, {.flags = 0x0400}) << "";
    QTest::newRow("type NB") << "" << nodeStatusReply(0x1234, SampleMac, {.type = netbios::TypeNb}) << "";
    QTest::newRow("data length past the datagram")
        << "" << nodeStatusReply(0x1234, SampleMac, {.lengthDelta = 1}) << "";
    // The datagram holds the address, the record's data length does not.
    QTest::newRow("address outside the data length")
        << "" << nodeStatusReply(0x1234, SampleMac, {.statisticsLength = 6, .lengthDelta = -1}) << "";
    QTest::newRow("statistics shorter than an address")
        << "" << nodeStatusReply(0x1234, SampleMac, {.statisticsLength = 5}) << "";

    const QList<QByteArray> loopback{"7f000001"};
    QTest::newRow("nmbd name query") << "TARNELPEER" << NmbdNameQuery << "10.231.0.1";
    QTest::newRow("first usable address")
        << "TARNELPEER" << nameQueryReply(0x4321, Peer16, {"00000000", "c0a80005"}) << "192.168.0.5";
    // The name is its first label; a NetBIOS scope may follow it.
    QTest::newRow("name with a scope") << "TARNELPEER"
                                       << nameQueryReply(0x4321, Peer16, {"c0a80005"}).insert(45, "\x05SCOPE")
                                       << "192.168.0.5";
    QTest::newRow("answer about another name") << "OTHERPEER" << NmbdNameQuery << "";
    QTest::newRow("wrong query id") << "TARNELPEER" << nameQueryReply(0x4322, Peer16, loopback) << "";
    QTest::newRow("negative response") << "TARNELPEER" << nameQueryReply(0x4321, Peer16, loopback, 0x8583) << "";
    QTest::newRow("no address") << "TARNELPEER" << nameQueryReply(0x4321, Peer16, {}) << "";
}

void TestNetbios::replies()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, reply);
    QFETCH(QString, expected);
    QCOMPARE(parsed(reply, name), expected);
    // A reply cut anywhere is refused, and nothing past the cut is read.
    for (qsizetype length = 0; length < reply.size(); ++length)
        QVERIFY2(parsed(reply.first(length), name).isEmpty(), qPrintable(QString::number(length)));
}

void TestNetbios::localAdapter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("withEth7");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first usable by index") << "*" << true << "0A0B0C0D0E0F";
    QTest::newRow("padded") << "*  " << true << "0A0B0C0D0E0F";
    QTest::newRow("none usable") << "*" << false << "";
}

// "*" is this computer: adapter 0, read from the interfaces, never asked over the network.
void TestNetbios::localAdapter()
{
    QFETCH(QString, name);
    QFETCH(bool, withEth7);
    QFETCH(QString, expected);
    // Listed out of index order: beyond 9, all are unusable (loopback, down, all zero, none, not six bytes).
    std::vector<net::InterfaceInfo> interfaces{
        {9, "eth9", true, false, true, QByteArray::fromHex("090909090909"), {}},
        {1, "lo", true, true, false, QByteArray::fromHex("010101010101"), {}},
        {2, "down", false, false, true, QByteArray::fromHex("020202020202"), {}},
        {3, "zero", true, false, true, QByteArray(6, 0), {}},
        {4, "tun", true, false, false, QByteArray(), {}},
        {5, "ib", true, false, true, QByteArray(20, 5), {}},
    };
    if (withEth7)
        interfaces.push_back({7, "eth7", true, false, true, QByteArray::fromHex("0a0b0c0d0e0f"), {}});
    else
        interfaces.erase(interfaces.begin());
    NetbiosOptions options;
    options.port = 9;
    options.interfaces = [&] { return interfaces; };
    QCOMPARE(lookUpMacAddress(name, options), expected);
}

void TestNetbios::answeredOverLoopback()
{
    FakePeer peer([](const QByteArray& request) {
        return QList<FakePeer::Reply>{{nodeStatusReply(uint16At(request, 0), SampleMac)}};
    });
    QCOMPARE(lookUpMacAddress("127.0.0.1 ", peer.options()), QString("000AE63B05F1"));
    const QList<QByteArray> requests = peer.requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].mid(2).toHex(), netbios::buildNodeStatusRequest(0, netbios::wildcardName()).mid(2).toHex());
}

void TestNetbios::silentPeerGivesUpInTime()
{
    FakePeer peer([](const QByteArray&) { return QList<FakePeer::Reply>(); });
    NetbiosOptions options = peer.options();
    options.timeout = NetbiosOptions().timeout;
    options.retryInterval = NetbiosOptions().retryInterval;
    QCOMPARE(lookUpMacAddress("", options), QString()); // sends nothing
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(lookUpMacAddress("127.0.0.1", options), QString());
    // Two seconds, with a little room for a busy machine's scheduler.
    QVERIFY2(timer.elapsed() >= 1900 && timer.elapsed() <= 2100, qPrintable(QString::number(timer.elapsed())));
    // Three tries of the same transaction.
    const QList<QByteArray> requests = peer.requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests[2], requests[0]);
}

void TestNetbios::untrustedReplyIgnored_data()
{
    QTest::addColumn<int>("idChange");
    QTest::addColumn<bool>("fromOtherAddress");
    QTest::newRow("wrong transaction id") << 1 << false;
    QTest::newRow("wrong source address") << 0 << true;
}

// The bad reply carries another address and comes first; only the good one
// after it may be taken.
void TestNetbios::untrustedReplyIgnored()
{
    QFETCH(int, idChange);
    QFETCH(bool, fromOtherAddress);
    FakePeer peer([&](const QByteArray& request) {
        const int id = uint16At(request, 0);
        return QList<FakePeer::Reply>{{nodeStatusReply(id ^ idChange, OtherMac), fromOtherAddress},
                                      {nodeStatusReply(id, SampleMac)}};
    });
    QCOMPARE(lookUpMacAddress("127.0.0.1", peer.options()), QString("000AE63B05F1"));
}

void TestNetbios::nameFoundByBroadcast()
{
    FakePeer peer([](const QByteArray& request) {
        const int id = uint16At(request, 0);
        if (uint16At(request, 46) == netbios::TypeNb)
            return QList<FakePeer::Reply>{{nameQueryReply(id, "OTHER           ", {"7f000002"})},
                                          {nameQueryReply(id, Peer16, {"7f000001"})}};
        return QList<FakePeer::Reply>{{nodeStatusReply(id, SampleMac)}};
    });
    QCOMPARE(lookUpMacAddress("tarnelpeer", peer.options()), QString("000AE63B05F1"));
    const QList<QByteArray> requests = peer.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].toHex(), netbios::buildNameQueryRequest(uint16At(requests[0], 0), Peer16, true).toHex());
    QCOMPARE(uint16At(requests[1], 46), int(netbios::TypeNodeStatus));
}

// No NetBIOS answer to the name query: the system resolver gives the address.
void TestNetbios::hostNameFoundByResolver()
{
    FakePeer peer([](const QByteArray& request) {
        if (uint16At(request, 46) == netbios::TypeNb)
            return QList<FakePeer::Reply>();
        return QList<FakePeer::Reply>{{nodeStatusReply(uint16At(request, 0), SampleMac)}};
    });
    QCOMPARE(lookUpMacAddress("localhost", peer.options()), QString("000AE63B05F1"));
}

QTEST_GUILESS_MAIN(TestNetbios)
#include "test_netbios.moc"
