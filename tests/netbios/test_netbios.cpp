#include "LocalAdapter.h"
#include "NetbiosCodec.h"
#include "mWinsock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTest>

#include <arpa/inet.h>
#include <atomic>
#include <climits>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
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

void appendUint16(QByteArray& out, int value)
{
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
}

struct ReplyShape {
    int flags = 0x8400;
    int type = 0x21;
    int names = 3;
    int statisticsLength = 46;
    int dataLengthDelta = 0; // added to the true data length
};

QByteArray makeNodeStatusReply(int id, const MacBytes& mac, const ReplyShape& shape = {})
{
    QByteArray data(1, char(shape.names));
    for (int i = 0; i < shape.names; ++i)
        data += QByteArray("NAME") + QByteArray(12, char('0' + i % 10)) + QByteArray::fromHex("0400");
    QByteArray statistics(shape.statisticsLength, '\x55');
    for (int i = 0; i < 6 && i < statistics.size(); ++i)
        statistics[i] = char(mac[std::size_t(i)]);
    data += statistics;

    QByteArray out;
    appendUint16(out, id);
    appendUint16(out, shape.flags);
    for (int count : {0, 1, 0, 0})
        appendUint16(out, count);
    out += QByteArray("\x20"
                      "CK") +
           QByteArray(30, 'A') + QByteArray(1, '\0'); // "*" and 15 zero bytes
    appendUint16(out, shape.type);
    out += QByteArray::fromHex("000100000000");
    appendUint16(out, int(data.size()) + shape.dataLengthDelta);
    return out + data;
}

// A positive name-query answer for `name16` with the given addresses.
QByteArray makeNameQueryReply(int id, const QByteArray& name16, const QList<QByteArray>& addresses, int flags = 0x8580)
{
    QByteArray out;
    appendUint16(out, id);
    appendUint16(out, flags);
    for (int count : {0, 1, 0, 0})
        appendUint16(out, count);
    out.append(char(32));
    for (char c : name16) {
        out.append(char('A' + (quint8(c) >> 4)));
        out.append(char('A' + (quint8(c) & 0x0F)));
    }
    out += QByteArray::fromHex("00002000010003f480");
    appendUint16(out, int(addresses.size()) * 6);
    for (const QByteArray& address : addresses)
        out += QByteArray::fromHex("0000") + address;
    return out;
}

// A copy the sanitizer guards byte for byte: reading one past its end is caught.
struct ExactCopy {
    explicit ExactCopy(QByteArrayView bytes) : storage(bytes.begin(), bytes.end()) {}
    QByteArrayView view() const { return QByteArrayView(storage.data(), qsizetype(storage.size())); }
    std::vector<char> storage;
};

int requestId(const QByteArray& request)
{
    return request.size() >= 2 ? (quint8(request[0]) << 8 | quint8(request[1])) : -1;
}

int requestType(const QByteArray& request)
{
    return request.size() >= 48 ? (quint8(request[46]) << 8 | quint8(request[47])) : -1;
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
    struct Request {
        QByteArray datagram;
        std::chrono::steady_clock::time_point at;
    };
    using Answer = std::function<QList<Reply>(const QByteArray& request, int index)>;

    explicit FakePeer(Answer answer) : m_answer(std::move(answer))
    {
        m_fd = openSocket(INADDR_LOOPBACK, &m_port);
        m_otherFd = openSocket(INADDR_LOOPBACK + 1, nullptr);
        m_thread = std::thread([this] { run(); });
    }

    ~FakePeer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
        ::close(m_otherFd);
    }

    NetbiosOptions options() const
    {
        NetbiosOptions options;
        options.port = m_port;
        options.broadcastTargets = QList<std::uint32_t>{INADDR_LOOPBACK};
        return options;
    }

    QList<Request> requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    static int openSocket(std::uint32_t address, std::uint16_t* port)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(address);
        ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
        socklen_t length = sizeof local;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
        if (port)
            *port = ntohs(local.sin_port);
        return fd;
    }

    void run()
    {
        while (!m_stop) {
            pollfd pfd{m_fd, POLLIN, 0};
            if (::poll(&pfd, 1, 20) <= 0)
                continue;
            char buffer[2048];
            sockaddr_in client{};
            socklen_t length = sizeof client;
            const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&client), &length);
            if (n < 0)
                continue;
            const QByteArray request(buffer, qsizetype(n));
            int index = 0;
            {
                std::lock_guard lock(m_mutex);
                index = int(m_requests.size());
                m_requests.append({request, std::chrono::steady_clock::now()});
            }
            for (const Reply& reply : m_answer(request, index)) {
                ::sendto(reply.fromOtherAddress ? m_otherFd : m_fd, reply.datagram.constData(),
                         std::size_t(reply.datagram.size()), 0, reinterpret_cast<sockaddr*>(&client), length);
            }
        }
    }

    Answer m_answer;
    int m_fd = -1;
    int m_otherFd = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QList<Request> m_requests;
    std::thread m_thread;
};

} // namespace

Q_DECLARE_METATYPE(ReplyShape)
Q_DECLARE_METATYPE(AdapterInfo)

class TestNetbios : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Codec: requests
    void requestBytes_data();
    void requestBytes();
    void nameBytes_data();
    void nameBytes();

    // Codec: replies
    void nodeStatusReply_data();
    void nodeStatusReply();
    void nodeStatusRejected_data();
    void nodeStatusRejected();
    void nodeStatusCutShort();
    void nameQueryReply_data();
    void nameQueryReply();
    void nameQueryCutShort();

    // Text rules
    void ipv4Text_data();
    void ipv4Text();
    void hexByte_data();
    void hexByte();
    void localAdapter_data();
    void localAdapter();
    void localComputer();

    // Against a peer on 127.0.0.1
    void emptyNameSendsNothing();
    void answeredOverLoopback();
    void silentPeerGivesUpInTime();
    void untrustedRepliesIgnored_data();
    void untrustedRepliesIgnored();
    void nameFoundByQuery();
    void nameFoundByResolver();
};

void TestNetbios::requestBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("encodedName"); // the 32 letters of first-level encoding

    // The node status asks with the wildcard; names are asked by a broadcast query.
    QTest::newRow("wildcard node status") << QString() << QByteArray("CKAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
    QTest::newRow("1 character") << "A" << QByteArray("EBCACACACACACACACACACACACACACACA");
    QTest::newRow("15 characters") << "ABCDEFGHIJKLMNO" << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPCA");
    QTest::newRow("16 characters") << "ABCDEFGHIJKLMNOP" << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPFA");
    QTest::newRow("20 characters, cut to 16")
        << "ABCDEFGHIJKLMNOPQRST" << QByteArray("EBECEDEEEFEGEHEIEJEKELEMENEOEPFA");
    QTest::newRow("lower case asked in capitals") << "tarnelpeer" << QByteArray("FEEBFCEOEFEMFAEFEFFCCACACACACACA");
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

void TestNetbios::nameBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("as typed") << "tarnel" << false << QByteArray("tarnel          ");
    QTest::newRow("star padded with spaces") << "*" << false << QByteArray("*               ");
    QTest::newRow("double byte that would pass 16 is left out")
        << QStringLiteral("ABCDEFGHIJKLMNOあ") << false << QByteArray("ABCDEFGHIJKLMNO ");
    QTest::newRow("trail byte in a-z range kept")
        << QStringLiteral("ヂa") << true << QByteArray::fromHex("83614120202020202020202020202020");
    QTest::newRow("half-width katakana") << QStringLiteral("ｻｰﾊﾞｰ") << false
                                         << QByteArray::fromHex("bbb0cadeb02020202020202020202020");
    QTest::newRow("backslash and tilde stay ASCII") << "\\~" << false << QByteArray("\\~              ");
    QTest::newRow("no code-page form") << QStringLiteral("é😀x") << false << QByteArray("??x             ");
    QTest::newRow("surrogate pair not split at 16")
        << QStringLiteral("ABCDEFGHIJKLMNO😀") << false << QByteArray("ABCDEFGHIJKLMNO ");
}

void TestNetbios::nameBytes()
{
    QFETCH(QString, name);
    QFETCH(bool, upper);
    QFETCH(QByteArray, expected);
    QCOMPARE(netbios::nameBytes(name, upper ? netbios::LetterCase::Upper : netbios::LetterCase::AsTyped), expected);
}

void TestNetbios::nodeStatusReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("expected");

    const MacBytes counting{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
    for (int names : {0, 1, 5, 31, 32, 255}) {
        ReplyShape shape;
        shape.names = names;
        QTest::addRow("%d names", names) << makeNodeStatusReply(0x1234, counting, shape) << "0123456789AB";
    }
    ReplyShape shortStatistics;
    shortStatistics.statisticsLength = 6;
    QTest::newRow("only the unit id of the statistics")
        << makeNodeStatusReply(0x1234, SampleMac, shortStatistics) << "000AE63B05F1";
    QTest::newRow("all 0xFF") << makeNodeStatusReply(0x1234, OtherMac) << "FFFFFFFFFFFF";
    QTest::newRow("nmbd") << NmbdNodeStatus << "000000000000";
}

void TestNetbios::nodeStatusReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, expected);
    const ExactCopy copy(reply);
    const std::optional<MacBytes> mac = netbios::parseNodeStatusReply(copy.view(), 0x1234);
    QVERIFY(mac);
    QString text;
    for (std::uint8_t byte : *mac)
        text += HexByte(QString::number(byte, 16).toUpper());
    QCOMPARE(text, expected);
}

void TestNetbios::nodeStatusRejected_data()
{
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("wrong transaction id") << makeNodeStatusReply(0x1235, SampleMac);
    ReplyShape shape;
    shape.flags = 0x8403;
    QTest::newRow("error code") << makeNodeStatusReply(0x1234, SampleMac, shape);
    shape.flags = 0x0400;
    QTest::newRow("a request, not a response") << makeNodeStatusReply(0x1234, SampleMac, shape);
    shape.flags = 0xBC00;
    QTest::newRow("wait-for-acknowledgement opcode") << makeNodeStatusReply(0x1234, SampleMac, shape);
    shape = {};
    shape.type = 0x20;
    QTest::newRow("type NB") << makeNodeStatusReply(0x1234, SampleMac, shape);
    shape = {};
    shape.dataLengthDelta = 1;
    QTest::newRow("data length past the datagram") << makeNodeStatusReply(0x1234, SampleMac, shape);
    // The datagram holds the address, the record's data length does not.
    shape = {};
    shape.statisticsLength = 6;
    shape.dataLengthDelta = -1;
    QTest::newRow("address outside the data length") << makeNodeStatusReply(0x1234, SampleMac, shape);
    shape.statisticsLength = 5;
    shape.dataLengthDelta = 0;
    QTest::newRow("statistics shorter than an address") << makeNodeStatusReply(0x1234, SampleMac, shape);
    QByteArray noAnswer = NmbdNodeStatus;
    noAnswer[7] = 0;
    QTest::newRow("no answer record") << noAnswer;
    QTest::newRow("empty") << QByteArray();
}

void TestNetbios::nodeStatusRejected()
{
    QFETCH(QByteArray, reply);
    const ExactCopy copy(reply);
    QVERIFY(!netbios::parseNodeStatusReply(copy.view(), 0x1234));
}

void TestNetbios::nodeStatusCutShort()
{
    ReplyShape shape;
    shape.names = 31;
    for (const QByteArray& reply : {NmbdNodeStatus, makeNodeStatusReply(0x1234, SampleMac, shape)}) {
        for (qsizetype length = 0; length < reply.size(); ++length) {
            const ExactCopy copy(reply.first(length));
            QVERIFY2(!netbios::parseNodeStatusReply(copy.view(), 0x1234), qPrintable(QString::number(length)));
        }
    }
}

void TestNetbios::nameQueryReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // empty: rejected

    const QByteArray peer = netbios::nameBytes(u"TARNELPEER");
    const QByteArray address = QByteArray::fromHex("7f000001");
    QTest::newRow("nmbd") << NmbdNameQuery << "TARNELPEER"
                          << "10.231.0.1";
    QTest::newRow("first usable address")
        << makeNameQueryReply(0x4321, peer, {QByteArray(4, '\0'), QByteArray::fromHex("c0a80005")}) << "TARNELPEER"
        << "192.168.0.5";
    QTest::newRow("answer about another name") << NmbdNameQuery << "OTHERPEER"
                                               << "";
    QTest::newRow("wrong transaction id") << makeNameQueryReply(0x4322, peer, {address}) << "TARNELPEER"
                                          << "";
    QTest::newRow("negative response") << makeNameQueryReply(0x4321, peer, {}, 0x8583) << "TARNELPEER"
                                       << "";
    QTest::newRow("no address") << makeNameQueryReply(0x4321, peer, {}) << "TARNELPEER"
                                << "";
    QByteArray nodeStatusType = makeNameQueryReply(0x4321, peer, {address});
    nodeStatusType[47] = 0x21;
    QTest::newRow("type NBSTAT") << nodeStatusType << "TARNELPEER"
                                 << "";
}

void TestNetbios::nameQueryReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const ExactCopy copy(reply);
    const std::optional<std::uint32_t> address =
        netbios::parseNameQueryReply(copy.view(), 0x4321, netbios::nameBytes(name));
    QCOMPARE(address ? QHostAddress(*address).toString() : QString(), expected);
}

void TestNetbios::nameQueryCutShort()
{
    const QByteArray name = netbios::nameBytes(u"TARNELPEER");
    for (qsizetype length = 0; length < NmbdNameQuery.size(); ++length) {
        const ExactCopy copy(NmbdNameQuery.first(length));
        QVERIFY2(!netbios::parseNameQueryReply(copy.view(), 0x4321, name), qPrintable(QString::number(length)));
    }
}

void TestNetbios::ipv4Text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // empty: not an address

    QTest::newRow("address") << "192.168.1.10"
                             << "192.168.1.10";
    QTest::newRow("trailing blanks") << "10.0.0.1   "
                                     << "10.0.0.1";
    QTest::newRow("leading blank") << " 10.0.0.1"
                                   << "";
    QTest::newRow("three parts") << "10.0.1"
                                 << "";
    QTest::newRow("five parts") << "10.0.0.1.5"
                                << "";
    QTest::newRow("part above 255") << "10.0.0.256"
                                    << "";
    QTest::newRow("leading zero") << "10.0.0.01"
                                  << "";
    QTest::newRow("trailing letters") << "10.0.0.1x"
                                      << "";
    QTest::newRow("full-width digit") << QStringLiteral("１0.0.0.1") << "";
    QTest::newRow("name") << "TARNELPEER"
                          << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestNetbios::ipv4Text()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const std::optional<std::uint32_t> address = netbios::parseIpv4Text(text);
    QCOMPARE(address ? QHostAddress(*address).toString() : QString(), expected);
}

void TestNetbios::hexByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("7") << "7"
                       << "07";
    QTest::newRow("A") << "A"
                       << "0A";
    QTest::newRow("0") << "0"
                       << "00";
    QTest::newRow("3F") << "3F"
                        << "3F";
    QTest::newRow("FF") << "FF"
                        << "FF";
    QTest::newRow("empty") << ""
                           << "";
}

void TestNetbios::hexByte()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(HexByte(text), expected);
}

void TestNetbios::localAdapter_data()
{
    QTest::addColumn<QList<AdapterInfo>>("adapters");
    QTest::addColumn<QString>("expected");

    const AdapterInfo loopback{1, true, true, "00:00:00:00:00:00"};
    const AdapterInfo first{2, true, false, "00:0A:E6:3B:05:F1"};
    const AdapterInfo second{3, true, false, "01:23:45:67:89:AB"};
    QTest::newRow("first after loopback") << QList<AdapterInfo>{loopback, first, second} << "000AE63B05F1";
    QTest::newRow("by index, not list order") << QList<AdapterInfo>{second, first} << "000AE63B05F1";
    QTest::newRow("switched off skipped")
        << QList<AdapterInfo>{{2, false, false, "00:0A:E6:3B:05:F1"}, second} << "0123456789AB";
    QTest::newRow("all-zero address skipped")
        << QList<AdapterInfo>{{2, true, false, "00:00:00:00:00:00"}, second} << "0123456789AB";
    QTest::newRow("not six bytes skipped")
        << QList<AdapterInfo>{{2, true, false, ""}, {3, true, false, "00:11:22:33:44:55:66:77"}, second}
        << "0123456789AB";
    QTest::newRow("loopback with an address") << QList<AdapterInfo>{{1, true, true, "00:0A:E6:3B:05:F1"}} << "";
    QTest::newRow("none") << QList<AdapterInfo>{} << "";
}

void TestNetbios::localAdapter()
{
    QFETCH(QList<AdapterInfo>, adapters);
    QFETCH(QString, expected);
    const std::optional<MacBytes> mac = pickLocalAdapter(adapters);
    QCOMPARE(mac ? QByteArray(reinterpret_cast<const char*>(mac->data()), 6).toHex().toUpper() : QByteArray(),
             expected.toLatin1());
}

// "*" answers from the adapter list; read the same list here from sysfs.
void TestNetbios::localComputer()
{
    QDir net("/sys/class/net");
    if (!net.exists())
        QSKIP("no /sys/class/net to compare with");
    int bestIndex = INT_MAX;
    QString expected;
    for (const QString& name : net.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        auto read = [&](const char* file) {
            QFile f(net.filePath(name + '/' + file));
            return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
        };
        const QString address = read("address").remove(u':').toUpper();
        const int index = read("ifindex").toInt();
        const bool up = read("flags").toUInt(nullptr, 16) & 0x1;
        // Type 772 is loopback.
        if (!up || read("type") == "772" || address.size() != 12 || address == "000000000000" || index >= bestIndex)
            continue;
        bestIndex = index;
        expected = address;
    }
    QCOMPARE(GetMacAddress("*"), expected);
    QCOMPARE(GetMacAddress("*   "), expected);
}

void TestNetbios::emptyNameSendsNothing()
{
    FakePeer peer([](const QByteArray&, int) { return QList<FakePeer::Reply>(); });
    QCOMPARE(GetMacAddress("", peer.options()), QString());
    QTest::qWait(50);
    QVERIFY(peer.requests().isEmpty());
}

void TestNetbios::answeredOverLoopback()
{
    FakePeer peer([](const QByteArray& request, int) {
        return QList<FakePeer::Reply>{{makeNodeStatusReply(requestId(request), SampleMac)}};
    });
    QCOMPARE(GetMacAddress("127.0.0.1 ", peer.options()), QString("000AE63B05F1"));

    const QList<FakePeer::Request> requests = peer.requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].datagram.mid(2).toHex(),
             netbios::buildNodeStatusRequest(0, netbios::wildcardName()).mid(2).toHex());
}

void TestNetbios::silentPeerGivesUpInTime()
{
    FakePeer peer([](const QByteArray&, int) { return QList<FakePeer::Reply>(); });
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(GetMacAddress("127.0.0.1", peer.options()), QString());
    const qint64 elapsed = timer.elapsed();
    // Two seconds, with a little room for a busy machine's scheduler.
    QVERIFY2(elapsed >= 1900 && elapsed <= 2100, qPrintable(QString::number(elapsed)));

    const QList<FakePeer::Request> requests = peer.requests();
    QCOMPARE(requests.size(), 3);
    for (int i = 1; i < requests.size(); ++i) {
        QCOMPARE(requestId(requests[i].datagram), requestId(requests[0].datagram));
        const auto gap = requests[i].at - requests[i - 1].at;
        QVERIFY(gap >= 400ms && gap <= 700ms);
    }
}

void TestNetbios::untrustedRepliesIgnored_data()
{
    QTest::addColumn<int>("idChange");
    QTest::addColumn<bool>("fromOtherAddress");
    QTest::addColumn<ReplyShape>("shape");

    QTest::newRow("wrong transaction id") << 1 << false << ReplyShape{};
    QTest::newRow("wrong source address") << 0 << true << ReplyShape{};
    QTest::newRow("error code") << 0 << false << ReplyShape{0x8402};
    QTest::newRow("wrong type") << 0 << false << ReplyShape{0x8400, 0x20};
    QTest::newRow("data length past the end") << 0 << false << ReplyShape{0x8400, 0x21, 3, 46, 200};
}

// Each bad reply carries a different address and comes first; only the good
// one after it may be taken.
void TestNetbios::untrustedRepliesIgnored()
{
    QFETCH(int, idChange);
    QFETCH(bool, fromOtherAddress);
    QFETCH(ReplyShape, shape);
    FakePeer peer([&](const QByteArray& request, int) {
        const int id = requestId(request);
        return QList<FakePeer::Reply>{{makeNodeStatusReply(id ^ idChange, OtherMac, shape), fromOtherAddress},
                                      {makeNodeStatusReply(id, SampleMac)}};
    });
    QCOMPARE(GetMacAddress("127.0.0.1", peer.options()), QString("000AE63B05F1"));
}

void TestNetbios::nameFoundByQuery()
{
    FakePeer peer([](const QByteArray& request, int) {
        if (requestType(request) == netbios::TypeNb) {
            return QList<FakePeer::Reply>{
                {makeNameQueryReply(requestId(request), "OTHER           ", {QByteArray::fromHex("7f000002")})},
                {makeNameQueryReply(requestId(request), "TARNELPEER      ", {QByteArray::fromHex("7f000001")})}};
        }
        return QList<FakePeer::Reply>{{makeNodeStatusReply(requestId(request), SampleMac)}};
    });
    QCOMPARE(GetMacAddress("tarnelpeer", peer.options()), QString("000AE63B05F1"));

    const QList<FakePeer::Request> requests = peer.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].datagram.toHex(),
             netbios::buildNameQueryRequest(requestId(requests[0].datagram), "TARNELPEER      ", true).toHex());
    QCOMPARE(requestType(requests[1].datagram), int(netbios::TypeNodeStatus));
}

// Nobody answers the name query; the system resolver knows "localhost".
void TestNetbios::nameFoundByResolver()
{
    FakePeer peer([](const QByteArray& request, int) {
        if (requestType(request) == netbios::TypeNb)
            return QList<FakePeer::Reply>();
        return QList<FakePeer::Reply>{{makeNodeStatusReply(requestId(request), SampleMac)}};
    });
    NetbiosOptions options = peer.options();
    options.timeout = 300ms;
    QCOMPARE(GetMacAddress("localhost", options), QString("000AE63B05F1"));
}

QTEST_GUILESS_MAIN(TestNetbios)
#include "test_netbios.moc"
