#include "net/HostResolver.h"
#include "net/NetworkInterfaces.h"

#include <QTest>

using namespace std::chrono_literals;
using net::HostLookup;

class TestNet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookUpHost_data();
    void lookUpHost();
    void answersKeptForFiveSeconds();
    void broadcastChoices_data();
    void broadcastChoices();
    void loopbackScanned();
};

void TestNet::lookUpHost_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::newRow("localhost") << "localhost" << true;
    QTest::newRow("unknown") << "no-such-host.invalid" << false;
    QTest::newRow("NUL inside") << QStringLiteral("localhost\0.invalid") << false;
    QTest::newRow("empty") << "" << false;
}

void TestNet::lookUpHost()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    const HostLookup lookup = net::lookUpHost(name);
    QCOMPARE(lookup.found(), found);
    QCOMPARE(lookup.status, found ? HostLookup::Status::Found : HostLookup::Status::NotFound);
    QCOMPARE(lookup.address, found ? 0x7F000001u : 0u);
}

// The resolver's answers and the sender's interface list expire the same way.
void TestNet::answersKeptForFiveSeconds()
{
    auto now = net::SteadyClock::time_point(100s);
    int asked = 0;
    net::HostResolver resolver(
        [&](const QString& name) {
            ++asked;
            return HostLookup{name == u"up" ? HostLookup::Status::Found : HostLookup::Status::TryAgain, 7};
        },
        [&] { return now; });
    net::ExpiringValue<int> interfaces([&] { return ++asked; }, 5s, [&] { return now; });
    QCOMPARE(resolver.resolve(QStringLiteral("up")).address, 7u);
    QCOMPARE(resolver.resolve(QStringLiteral("down")).status, HostLookup::Status::TryAgain);
    QCOMPARE(interfaces.get(), 3);
    now += 4999ms;
    resolver.resolve(QStringLiteral("up"));
    resolver.resolve(QStringLiteral("down"));
    QCOMPARE(interfaces.get(), 3);
    now += 1ms;
    resolver.resolve(QStringLiteral("up"));
    resolver.resolve(QStringLiteral("down"));
    QCOMPARE(interfaces.get(), 6);
}

void TestNet::broadcastChoices_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<bool>("loopback");
    QTest::addColumn<bool>("canBroadcast");
    QTest::addColumn<quint32>("broadcast"); // 0: the interface has no IPv4 address
    QTest::addColumn<bool>("chosen");
    QTest::newRow("up, can broadcast") << true << false << true << 0x0A0000FFu << true;
    QTest::newRow("down") << false << false << true << 0x0A0000FFu << false;
    QTest::newRow("loopback") << true << true << true << 0x0A0000FFu << false;
    QTest::newRow("point to point") << true << false << false << 0x0A0000FFu << false;
    QTest::newRow("no IPv4 address") << true << false << true << 0u << false;
}

void TestNet::broadcastChoices()
{
    QFETCH(bool, up);
    QFETCH(bool, loopback);
    QFETCH(bool, canBroadcast);
    QFETCH(quint32, broadcast);
    QFETCH(bool, chosen);
    net::InterfaceInfo interface {
        3, QStringLiteral("eth0"), up, loopback, canBroadcast, {}, {}
    };
    if (broadcast != 0)
        interface.ipv4.push_back({0x0A000001, 0xFFFFFF00, broadcast});
    // Listed twice, as an interface with two addresses is: still one entry each.
    const std::vector<net::InterfaceInfo> twice{interface, interface};
    QCOMPARE(net::broadcastInterfaceIndexes(twice), chosen ? std::vector<int>{3} : std::vector<int>{});
    QCOMPARE(net::broadcastAddresses(twice), chosen ? QList<std::uint32_t>{broadcast} : QList<std::uint32_t>{});
}

void TestNet::loopbackScanned()
{
    for (const net::InterfaceInfo& interface : net::scanInterfaces()) {
        if (!interface.loopback)
            continue;
        QVERIFY(interface.up && !interface.canBroadcast && interface.index > 0);
        QCOMPARE(interface.ipv4.front().address, 0x7F000001u);
        QVERIFY(interface.ipv4.front().contains(0x7F000002) && !interface.ipv4.front().contains(0x0A000001));
        return;
    }
    QFAIL("no loopback interface");
}

QTEST_GUILESS_MAIN(TestNet)
#include "test_net.moc"
