#include "net/HostResolver.h"
#include "net/NetworkInterfaces.h"

#include <QTest>

using namespace std::chrono_literals;
using net::HostLookup;
using net::InterfaceInfo;
Q_DECLARE_METATYPE(InterfaceInfo)

class TestNet : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
            resolver.resolve(QStringLiteral("b"));
            interfaces.get();
            return asked;
        };
        QCOMPARE(askAll(), 3);
        now += 4999ms;
        QCOMPARE(askAll(), 3);
        now += 1ms;
        QCOMPARE(askAll(), 6);
        // Past 256 names the cache starts afresh.
        for (int i = 2; i < net::HostResolver::CacheLimit; ++i)
            resolver.resolve(QString::number(i));
        QCOMPARE(askAll(), 260);
        resolver.resolve(QStringLiteral("c"));
        QCOMPARE(askAll(), 263);
    }

    void broadcastChoices_data()
    {
        QTest::addColumn<InterfaceInfo>("interface");
        QTest::addColumn<QList<int>>("chosen"); // by interface index, by broadcast address
        const std::vector<net::Ipv4Entry> subnet{{0x0A000001, 0xFFFFFF00, 0x0A0000FF}};
        QTest::newRow("up, can broadcast") << InterfaceInfo{3, "eth0", true, false, true, {}, subnet} << QList{1, 1};
        QTest::newRow("down") << InterfaceInfo{3, "eth0", false, false, true, {}, subnet} << QList{0, 0};
        QTest::newRow("loopback") << InterfaceInfo{3, "lo", true, true, true, {}, subnet} << QList{0, 0};
        QTest::newRow("point to point") << InterfaceInfo{3, "tun0", true, false, false, {}, subnet} << QList{0, 0};
        QTest::newRow("no IPv4 address") << InterfaceInfo{3, "eth0", true, false, true, {}, {}} << QList{0, 0};
        QTest::newRow("no index") << InterfaceInfo{0, "eth0", true, false, true, {}, subnet} << QList{0, 1};
    }
    void broadcastChoices()
    {
        QFETCH(InterfaceInfo, interface);
        QFETCH(QList<int>, chosen);
        // Listed twice, as an interface with two addresses is: still one entry each.
        const std::vector<InterfaceInfo> twice{interface, interface};
        QCOMPARE(net::broadcastInterfaceIndexes(twice), std::vector<int>(chosen[0], 3));
        QCOMPARE(net::broadcastAddresses(twice), QList<std::uint32_t>(chosen[1], 0x0A0000FF));
    }
};

QTEST_GUILESS_MAIN(TestNet)
#include "test_net.moc"
