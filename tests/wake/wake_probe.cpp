// Sends one Magic Packet for 00:11:22:33:44:AB the way the window's single
// send does, and prints the status text it would show.
// usage: wake_probe HOST PORT [REPEAT]
#include "core/Failure.h"
#include "wake/MagicPacket.h"
#include "wake/UdpSender.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    UdpSender sender;
    const std::array<QString, 6> mac = {QStringLiteral("00"), QStringLiteral("11"), QStringLiteral("22"),
                                        QStringLiteral("33"), QStringLiteral("44"), QStringLiteral("AB")};
    QString status = QStringLiteral("OK");
    try {
        sendMagicPacket(sender, mac, QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                        argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("1"));
    } catch (const Failure& failure) {
        status = statusTextFor(failure) + QStringLiteral(" ") + failure.description();
    }
    std::printf("%s\n", qPrintable(status));
    return status == QStringLiteral("OK") ? 0 : 1;
}
