// netbios_probe NAME [--port N]: prints the MAC lookup's answer (an empty line
// when there is none) and exits 0 only when there is an address.
#include "netbios/MacLookup.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    NetbiosOptions options;
    if (args.size() == 4 && args[2] == QLatin1String("--port"))
        options.port = std::uint16_t(args[3].toUInt());
    else if (args.size() != 2)
        return std::fprintf(stderr, "usage: netbios_probe NAME [--port N]\n"), 2;
    const QString mac = lookUpMacAddress(args[1], options);
    std::printf("%s\n", qPrintable(mac));
    return mac.isEmpty() ? 1 : 0;
}
