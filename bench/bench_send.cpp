// 10,000 datagrams through the window's single send (the repeat loop included)
// to a loopback receiver, beside a plain sendto() loop of the same datagrams.
#include "core/Clock.h"
#include "app/Dialogs.h"
#include "app/FieldEdit.h"
#include "LoopbackSink.h"
#include "wake/MagicPacket.h"
#include "app/Tarnel.h"
#include "wake/UdpSender.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Datagrams = 10000;
constexpr int Repeat = 8; // the repeat box holds one digit

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoopbackSink sink;
    QTemporaryDir dir;
    UdpSender sender;
    SystemClock clock;
    Dialogs dialogs;
    dialogs.setScripted(true);
    TarnelServices services{&sender, &clock, &dialogs, dir.path(), false, {}};
    Tarnel window(services);
    window.host->setText(QStringLiteral("127.0.0.1"));
    window.PortNo->setText(QString::number(sink.port()));
    window.Text3->setText(QString::number(Repeat));
    for (int j = 0; j < 6; ++j)
        window.Text1[j]->setText(QStringLiteral("A%1").arg(j));

    const QByteArray packet = buildMagicPacket({QStringLiteral("A0"), QStringLiteral("A1"), QStringLiteral("A2"),
                                                QStringLiteral("A3"), QStringLiteral("A4"), QStringLiteral("A5")});
    std::vector<double> clicks, plain;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Datagrams / Repeat; ++i)
            window.Command1_Click();
        clicks.push_back(double(timer.nsecsElapsed()) / 1e6);
        plain.push_back(plainSendLoop(sink.port(), packet, Datagrams));
    }
    if (window.Msg->text() != QStringLiteral("OK")) {
        std::fprintf(stderr, "send failed: %s\n", qPrintable(window.Msg->text()));
        return 1;
    }
    const double c = median(clicks), p = median(plain);
    std::printf("single send, %d datagrams (%d clicks x repeat %d): %.2f ms\n", Datagrams, Datagrams / Repeat, Repeat,
                c);
    std::printf("plain sendto() loop, %d datagrams:                  %.2f ms\n", Datagrams, p);
    std::printf("ratio: %.2fx (goal: at most 1.5x), medians of 7 rounds\n", c / p);
    return 0;
}
