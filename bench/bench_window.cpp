// The window with a full address book: loading 32,767 entries into the book and
// both lists, saving it, a batch of 10,000 marked entries to a loopback
// receiver beside a plain sendto() loop, and one clock tick with and without
// matching alarms.
#include "addressbook/AddressListFormat.h"
#include "core/Clock.h"
#include "app/Dialogs.h"
#include "app/FieldEdit.h"
#include "LoopbackSink.h"
#include "app/Tarnel.h"
#include "wake/UdpSender.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A clock the benchmark sets, as the tests do.
class SetClock final : public Clock {
public:
    QDateTime now() const override { return when; }
    QDateTime when = QDateTime(QDate(2026, 12, 7), QTime(7, 30));
};

QByteArray bookFile(int entries, const QString& host, const QString& everyDay)
{
    AddressBook book;
    for (int i = 0; i < entries; ++i) {
        AddressEntry entry;
        entry.name = (i % 4 == 0 ? QStringLiteral("事務所のパソコン-%1") : QStringLiteral("Workstation-%1"))
                         .arg(i, 5, 10, QLatin1Char('0'));
        for (int j = 0; j < 6; ++j)
            entry.setMac(j, QStringLiteral("%1").arg((i * 7 + j * 31) % 256, 2, 16, QLatin1Char('0')).toUpper());
        entry.alarms[0] = everyDay;
        for (int k = 1; k < 8; ++k)
            entry.alarms[std::size_t(k)] = (k >= 2 && k <= 6) ? QStringLiteral("06:45") : QStringLiteral("__:__");
        entry.host = host;
        book.append(std::move(entry));
    }
    return serializeAddressList(book);
}

double timeMs(const std::function<void()>& work, int runs = 7)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Window {
    explicit Window(const QByteArray& file)
    {
        dialogs.setScripted(true);
        QFile out(dir.filePath(QStringLiteral("address.lst")));
        out.open(QIODevice::WriteOnly);
        out.write(file);
        out.close();
        services = TarnelServices{&sender, &clock, &dialogs, dir.path(), false, {}};
        window = std::make_unique<Tarnel>(services);
        window->Timer1->stop();
    }
    QTemporaryDir dir;
    UdpSender sender;
    SetClock clock;
    Dialogs dialogs;
    TarnelServices services;
    std::unique_ptr<Tarnel> window;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoopbackSink sink;

    {
        const QByteArray file = bookFile(32767, QStringLiteral("192.168.10.255"), QStringLiteral("__:__"));
        Window w(file);
        std::printf("address.lst: 32767 entries, %lld bytes (%.0f characters a line)\n", qlonglong(file.size()),
                    double(file.size()) / 32767 - 2);
        const double load = timeMs([&] { w.window->LoadAddressList(); });
        if (w.window->Combo1->count() != 32767 || w.window->List1->count() != 32767)
            return 1;
        std::printf("load into the book, Combo1 and List1: %8.2f ms (goal 150 ms)\n", load);
        const double save = timeMs([&] { w.window->SaveAddressList(); });
        std::printf("save:                                 %8.2f ms (goal 30 ms)\n", save);
        w.clock.when = QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        w.window->Timer1_Timer(); // builds the alarm index once
        const double tick = timeMs([&] { w.window->Timer1_Timer(); }, 101);
        std::printf("one tick, 32767 entries, no match:    %8.4f ms (goal 1 ms)\n", tick);
    }
    {
        const QByteArray file = bookFile(10000, QStringLiteral("127.0.0.1"), QStringLiteral("07:30"));
        Window w(file);
        w.window->LoadAddressList();
        w.window->PortNo->setText(QString::number(sink.port()));
        w.window->Command7_Click(0);
        const double batch = timeMs([&] { w.window->Command4_Click(); });
        if (w.window->Msg->text() != QStringLiteral("OK"))
            return 1;
        const QByteArray packet(102, char(0xAB));
        const double plain = timeMs([&] { plainSendLoop(sink.port(), packet, 10000); });
        std::printf("batch of 10000 marked entries:        %8.2f ms\n", batch);
        std::printf("plain sendto() loop, 10000 datagrams: %8.2f ms  ratio %.2fx (goal 1.5x)\n", plain, batch / plain);
    }
    {
        const QByteArray file = bookFile(1000, QStringLiteral("127.0.0.1"), QStringLiteral("07:30"));
        Window w(file);
        w.window->LoadAddressList();
        w.window->PortNo->setText(QString::number(sink.port()));
        w.window->Timer1_Timer();
        const double tick = timeMs([&] { w.window->Timer1_Timer(); }, 21);
        std::printf("one tick, 1000 matching entries:      %8.2f ms (1000 datagrams to loopback)\n", tick);
    }
    return 0;
}
