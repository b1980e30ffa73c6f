#include "net/HostResolver.h"
#include "net/NeighbourTable.h"
#include "net/NetworkInterfaces.h"

#include <QElapsedTimer>
#include <thread>

#include <QTest>

using namespace std::chrono_literals;
using net::HostLookup;
using net::InterfaceInfo;

class TestNet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void neighbourTable();
    void onLink_data();
    void onLink();
    void resolverDeadline();
    // The resolver's answers, found or not, and the sender's interface list expire alike.
    void answersKeptForFiveSeconds()
    {
        // The system resolver would stop at the NUL and find localhost.
        QCOMPARE(net::lookUpHost(QStringLiteral("localhost\0.invalid")).status, HostLookup::Status::NotFound);
        auto now = net::SteadyClock::time_point(100s);
        int asked = 0;
        net::HostResolver resolver([&](const QString&) { return ++asked, HostLookup{}; }, [&] { return now; });
        net::ExpiringValue<int> interfaces([&] { return ++asked; }, 5s, [&] { return now; });
        const auto askAll = [&] {
            resolver.resolve(QStringLiteral("a"));
            interfaces.get();
            return asked;
        };
        QCOMPARE(askAll(), 2);
        now += 4999ms;
        QCOMPARE(askAll(), 2);
        now += 1ms;
        QCOMPARE(askAll(), 4);
        // Past 256 names the cache starts afresh.
        for (int i = 1; i < net::HostResolver::CacheLimit; ++i)
            resolver.resolve(QString::number(i));
        QCOMPARE(askAll(), 259);
        resolver.resolve(QStringLiteral("b"));
        QCOMPARE(askAll(), 261);
    }

    void broadcastChoices()
    {
        const std::vector<net::Ipv4Entry> subnet{{0x0A000001, 0xFFFFFF00, 0x0A0000FF}, {0x0A000101, 0xFFFFFFFF, 0}};
        const std::vector<net::Ipv4Entry> other{{0x0A000201, 0xFFFFFF00, 0x0A0002FF}};
        // Listed twice, as an interface with two addresses is; then down, loopback,
        // point to point, no IPv4 address, and no index, which only has an address.
        const std::vector<InterfaceInfo> interfaces{{3, "eth0", true, false, true, {}, subnet},
                                                    {3, "eth0", true, false, true, {}, subnet},
                                                    {4, "down", false, false, true, {}, other},
                                                    {5, "lo", true, true, true, {}, other},
                                                    {6, "tun0", true, false, false, {}, other},
                                                    {7, "eth1", true, false, true, {}, {}},
                                                    {0, "eth2", true, false, true, {}, {{0x0A000301, 0xFFFFFF00, 1}}}};
        QCOMPARE(net::broadcastInterfaceIndexes(interfaces), std::vector<int>{3});
        QCOMPARE(net::broadcastAddresses(interfaces), (QList<std::uint32_t>{0x0A0000FF, 1}));
    }
};

// Only complete Ethernet entries count; the rest of a line must be as the kernel writes it.
void TestNet::neighbourTable()
{
    const QByteArray text = "IP address       HW type     Flags       HW address            Mask     Device\n"
                            "10.0.0.2         0x1         0x2         0a:1b:2c:3d:4e:5f     *        eth0\n"
                            "10.0.0.3         0x1         0x6         00:00:00:00:00:01     *        eth0\n"
                            "10.0.0.4         0x1         0x0         00:00:00:00:00:00     *        eth0\n"
                            "10.0.0.5         0x1         0x2         00:00:00:00:00:00     *        eth0\n"
                            "10.0.0.6         0x20        0x2         0a:1b:2c:3d:4e:5f     *        ib0\n"
                            "10.0.0.7         0x1         0x2         0a:1b:2c:3d:4e        *        eth0\n"
                            "10.0.0.256       0x1         0x2         0a:1b:2c:3d:4e:5f     *        eth0\n"
                            "10.0.0.8         0x1         0x2         0a:1b:2c:3d:4e:5f:60  *        eth0\n"
                            "10.0.0.9         0x1         0x2         0a:1b:2c:3d:4e:5f     *\n"
                            "10.0.0.10        0x1         2           0a:1b:2c:3d:4e:5f     *        eth0\n"
                            "10.0.0.11        0x1         0x2         0A:1B:2C:3D:4E:5F     *        eth1";
    QStringList read;
    for (const net::Neighbour& n : net::parseNeighbourTable(text))
        read << QStringLiteral("%1 %2 %3")
                    .arg(n.address & 0xFF)
                    .arg(QByteArray(reinterpret_cast<const char*>(n.mac.data()), 6).toHex())
                    .arg(n.device);
    QCOMPARE(read, (QStringList{"2 0a1b2c3d4e5f eth0", "3 000000000001 eth0", "11 0a1b2c3d4e5f eth1"}));
    const std::vector<net::Neighbour> table = net::parseNeighbourTable(text);
    QVERIFY(net::neighbourMac(0x0A000002, "eth0", table) && !net::neighbourMac(0x0A000002, "eth1", table));
    QVERIFY(net::parseNeighbourTable(text.left(text.indexOf('\n'))).empty()); // the heading alone
}

void TestNet::onLink_data()
{
    QTest::addColumn<std::uint32_t>("address");
    QTest::addColumn<QString>("interface"); // empty: not on a directly attached network
    QTest::newRow("on the first subnet") << 0x0A000063u << "eth0";
    QTest::newRow("on the second address's subnet") << 0xC0A80109u << "eth0";
    QTest::newRow("on another card") << 0xAC100005u << "eth1";
    QTest::newRow("this computer") << 0x0A000001u << "";
    QTest::newRow("this computer, on another card") << 0xAC100001u << "";
    QTest::newRow("subnet broadcast") << 0x0A0000FFu << "";
    QTest::newRow("subnet's own address") << 0x0A000000u << "";
    QTest::newRow("limited broadcast") << 0xFFFFFFFFu << "";
    QTest::newRow("behind a router") << 0x08080808u << "";
    QTest::newRow("card that is down") << 0xAC110005u << "";
    QTest::newRow("loopback") << 0x7F000002u << "";
    QTest::newRow("a subnet of one address") << 0x0A010001u << "";
}

void TestNet::onLink()
{
    QFETCH(std::uint32_t, address);
    QFETCH(QString, interface);
    const std::vector<InterfaceInfo> interfaces{
        {1, "lo", true, true, false, {}, {{0x7F000001, 0xFF000000, 0}}},
        {2, "eth0", true, false, true, {}, {{0x0A000001, 0xFFFFFF00, 0x0A0000FF}, {0xC0A80101, 0xFFFFFF00, 0}}},
        {3, "eth1", true, false, true, {}, {{0xAC100001, 0xFFFF0000, 0xAC10FFFF}}},
        {4, "eth2", false, false, true, {}, {{0xAC110001, 0xFFFF0000, 0xAC11FFFF}}},
        {5, "tun0", true, false, false, {}, {{0x0A010002, 0xFFFFFFFF, 0}}}};
    QCOMPARE(net::onLinkInterface(address, interfaces).value_or(QString()), interface);
}

// A resolver that does not answer in time counts as one that cannot tell now.
void TestNet::resolverDeadline()
{
    QElapsedTimer timer;
    timer.start();
    const auto slow = [](const QString&) {
        std::this_thread::sleep_for(500ms);
        return HostLookup{HostLookup::Status::Found, 1};
    };
    QCOMPARE(net::lookUpHostWithin(QStringLiteral("a"), 50ms, slow).status, HostLookup::Status::TryAgain);
    QVERIFY(timer.elapsed() < 400);
    QCOMPARE(net::lookUpHostWithin(QStringLiteral("a"), 2s, slow).address, 1u);
}

QTEST_GUILESS_MAIN(TestNet)
#include "test_net.moc"
