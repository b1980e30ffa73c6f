// 10,000 datagrams through the window's single send (the repeat loop included)
// to a loopback receiver, beside a plain sendto() loop of the same datagrams.
#include "BenchWindow.h"
#include "LoopbackSink.h"
#include "app/WakeActions.h"
#include "wake/MagicPacket.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>

namespace {

constexpr int Datagrams = 10000;
constexpr int Repeat = 8; // the repeat box holds one digit

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoopbackSink sink;
    BenchWindow w;
    MainWindow& window = w.start();
    window.findChild<QLineEdit*>(QStringLiteral("hostEdit"))->setText(QStringLiteral("127.0.0.1"));
    window.findChild<QLineEdit*>(QStringLiteral("portEdit"))->setText(QString::number(sink.port()));
    window.findChild<QLineEdit*>(QStringLiteral("repeatEdit"))->setText(QString::number(Repeat));
    for (int j = 0; j < 6; ++j)
        window.findChild<QLineEdit*>(QStringLiteral("macEdit%1").arg(j))->setText(QStringLiteral("A%1").arg(j));
    auto* wake = window.findChild<WakeActions*>();

    const QByteArray packet = buildMagicPacket({QStringLiteral("A0"), QStringLiteral("A1"), QStringLiteral("A2"),
                                                QStringLiteral("A3"), QStringLiteral("A4"), QStringLiteral("A5")});
    const double clicks = medianMs([&] {
        for (int i = 0; i < Datagrams / Repeat; ++i)
            wake->sendToOne();
    });
    const double plain = medianMs([&] { plainSendLoop(sink.port(), packet, Datagrams); });
    const QString status = window.findChild<QLabel*>(QStringLiteral("statusLabel"))->text();
    if (status != QStringLiteral("OK")) {
        std::fprintf(stderr, "send failed: %s\n", qPrintable(status));
        return 1;
    }
    std::printf("single send, %d datagrams (%d clicks x repeat %d): %.2f ms\n", Datagrams, Datagrams / Repeat, Repeat,
                clicks);
    std::printf("plain sendto() loop, %d datagrams:                  %.2f ms\n", Datagrams, plain);
    std::printf("ratio: %.2fx (goal: at most 1.2x), medians of 7 rounds\n", clicks / plain);
    return 0;
}
