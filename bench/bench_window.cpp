// The window with a full address book: start-up with 32,767 entries beside an
// empty book, saving it, a batch of 10,000 marked entries to a loopback
// receiver beside a plain sendto() loop, and clock ticks with and without
// matching alarms.
#include "BenchWindow.h"
#include "LoopbackSink.h"
#include "addressbook/AddressListFormat.h"
#include "app/AlarmTimer.h"
#include "app/BookEditor.h"
#include "app/WakeActions.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

namespace {

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

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoopbackSink sink;
    {
        BenchWindow empty;
        const double emptyStart = medianMs([&] { empty.start(); });
        const QByteArray file = bookFile(32767, QStringLiteral("192.168.10.255"), QStringLiteral("__:__"));
        BenchWindow w(file);
        const double fullStart = medianMs([&] { w.start(); });
        if (w.window->findChild<QComboBox*>(QStringLiteral("computerCombo"))->count() != 32767)
            return 1;
        std::printf("address.lst: 32767 entries, %lld bytes\n", qlonglong(file.size()));
        std::printf("start-up, empty book:                 %8.2f ms\n", emptyStart);
        std::printf("start-up, 32767 entries:              %8.2f ms (+%.2f ms, goal +150 ms)\n", fullStart,
                    fullStart - emptyStart);
        auto* editor = w.window->findChild<BookEditor*>();
        const double save = medianMs([&] { editor->addComputer(); }); // a cancelled add saves the book as it is
        std::printf("save:                                 %8.2f ms\n", save);
        w.clock.when = QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        auto* alarms = w.window->findChild<AlarmTimer*>();
        w.window->findChild<QTimer*>(QStringLiteral("alarmTimer"))->stop();
        const double tick = medianMs([&] { alarms->tick(); }, 101);
        std::printf("one tick, 32767 entries, no match:    %8.4f ms (goal 1 ms)\n", tick);
    }
    {
        BenchWindow w(bookFile(10000, QStringLiteral("127.0.0.1"), QStringLiteral("07:30")));
        MainWindow& window = w.start();
        window.findChild<QTimer*>(QStringLiteral("alarmTimer"))->stop();
        window.findChild<QLineEdit*>(QStringLiteral("portEdit"))->setText(QString::number(sink.port()));
        window.findChild<BookEditor*>()->markAll();
        auto* wake = window.findChild<WakeActions*>();
        const double batch = medianMs([&] { wake->sendToMarked(); });
        if (window.findChild<QLabel*>(QStringLiteral("statusLabel"))->text() != QStringLiteral("OK"))
            return 1;
        const QByteArray packet(102, char(0xAB));
        const double plain = medianMs([&] { plainSendLoop(sink.port(), packet, 10000); });
        std::printf("batch of 10000 marked entries:        %8.2f ms\n", batch);
        std::printf("plain sendto() loop, 10000 datagrams: %8.2f ms  ratio %.2fx (goal 1.2x)\n", plain, batch / plain);
    }
    {
        BenchWindow w(bookFile(1000, QStringLiteral("127.0.0.1"), QStringLiteral("07:30")));
        MainWindow& window = w.start();
        window.findChild<QTimer*>(QStringLiteral("alarmTimer"))->stop();
        window.findChild<QLineEdit*>(QStringLiteral("portEdit"))->setText(QString::number(sink.port()));
        auto* alarms = window.findChild<AlarmTimer*>();
        const double tick = medianMs([&] { alarms->tick(); }, 21);
        std::printf("one tick, 1000 matching entries:      %8.2f ms (1000 datagrams to loopback)\n", tick);
    }
    return 0;
}
