// netbios_probe <name-or-ip> [--port N]: prints the MAC lookup's answer (an
// empty line when there is none) and exits 0 only when there is an address.
#include "netbios/MacLookup.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    NetbiosOptions options;
    QString name;
    bool haveName = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port") && i + 1 < args.size()) {
            bool ok = false;
            const uint port = args[++i].toUInt(&ok);
            if (!ok || port == 0 || port > 65535) {
                std::fprintf(stderr, "netbios_probe: bad port\n");
                return 2;
            }
            options.port = std::uint16_t(port);
        } else if (!haveName) {
            name = args[i];
            haveName = true;
        } else {
            std::fprintf(stderr, "usage: netbios_probe <name-or-ip> [--port N]\n");
            return 2;
        }
    }
    if (!haveName) {
        std::fprintf(stderr, "usage: netbios_probe <name-or-ip> [--port N]\n");
        return 2;
    }
    const QString mac = lookUpMacAddress(name, options);
    std::printf("%s\n", qPrintable(mac));
    return mac.isEmpty() ? 1 : 0;
}
