// The helper of the tests on a real network.
// net_probe HOST PORT: sends the Magic Packet for 00:11:22:33:44:AB as the
// window's single send does; on failure it prints what went wrong.
// net_probe - PORT: prints "ready", then in hexadecimal each datagram that
// reaches PORT until none has come for two and a half seconds.
// net_probe COMPUTER: prints the MAC lookup's answer and, on a second line,
// how many milliseconds it took; exits 0 only when there is an answer.
#include "UdpReceiver.h"
#include "core/Failure.h"
#include "netbios/MacLookup.h"
#include "wake/MagicPacket.h"
#include "wake/UdpSender.h"

#include <QElapsedTimer>
#include <cstdio>
#include <string_view>

int main(int argc, char* argv[])
{
    if (argc == 2) {
        QElapsedTimer timer;
        timer.start();
        const QString mac = lookUpMacAddress(QString::fromLocal8Bit(argv[1]));
        std::printf("%s\n%lld\n", qPrintable(mac), timer.elapsed());
        return mac.isEmpty();
    }
    if (argc != 3)
        return 2;
    if (argv[1] == std::string_view("-")) {
        UdpReceiver receiver("0.0.0.0", std::atoi(argv[2]));
        std::puts("ready");
        std::fflush(stdout);
        for (const QByteArray& datagram : receiver.drain(2500))
            std::puts(datagram.toHex().constData());
        return 0;
    }
    try {
        UdpSender sender;
        sendMagicPacket(sender, {"00", "11", "22", "33", "44", "AB"}, argv[1], argv[2], QStringLiteral("1"));
    } catch (const Failure& failure) {
        return std::puts(qPrintable(failure.description())), 1;
    }
}
