#include "net/HostResolver.h"
#include "net/NetworkInterfaces.h"

#include <QTest>

using namespace std::chrono_literals;
using net::HostLookup;
using net::InterfaceInfo;

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

QTEST_GUILESS_MAIN(TestNet)
#include "test_net.moc"
