// Waking computers from the window: the typed computer, the marked ones and
// the alarms of the book, and what the status label then shows.
#include "UdpReceiver.h"
#include "WindowFixture.h"
#include "app/AlarmTimer.h"

#include <QListView>
#include <QTimer>

namespace {

// The Magic Packets of the addresses 0A0B0C0D0E<ending>, or of the one address given whole.
QList<QByteArray> packets(const QString& endings)
{
    QList<QByteArray> all;
    for (const QString& ending : endings.split(u' ', Qt::SkipEmptyParts))
        all << QByteArray(6, char(0xFF)) +
                   QByteArray::fromHex((ending.size() == 2 ? "0A0B0C0D0E" + ending : ending).toLatin1()).repeated(16);
    return all;
}

} // namespace

class TestSendWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void send_data();
    void send();
    void alarmsWake_data();
    void alarmsWake();
};

void TestSendWindow::send_data()
{
    QTest::addColumn<QString>("marked"); // rows to send to, or a MAC typed for the single send
    QTest::addColumn<QString>("port");   // "-" for the receivers' port
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<QString>("atFirst");  // the addresses arriving at 127.0.0.1, in order
    QTest::addColumn<QString>("atSecond"); // at 127.0.0.2
    QTest::addColumn<QString>("status");
    // The book: 01, a damaged ZZ… and 03 on 127.0.0.1, 04 on 127.0.0.2.
    // clang-format off
    QTest::newRow("one, three times") << "0011223344AB" << "-" << "3" << "0011223344AB 0011223344AB 0011223344AB" << "" << "OK";
    QTest::newRow("one, repeat 0") << "0011223344AB" << "-" << "0" << "" << "" << "OK";
    QTest::newRow("one, repeat not a number") << "0011223344AB" << "-" << "x" << "0011223344AB" << "" << "OK";
    QTest::newRow("one, a MAC box empty") << "00112233  AB" << "-" << "1" << "" << "" << "ERROR:1000013";
    QTest::newRow("one, empty port") << "0011223344AB" << "" << "1" << "" << "" << "ERROR:1000013";
    QTest::newRow("one, negative port") << "0011223344AB" << "-1" << "1" << "" << "" << "ERROR:10049";
    QTest::newRow("one, port over 16 bits") << "0011223344AB" << "99999" << "1" << "" << "" << "ERROR:1000006";
    QTest::newRow("marked, a damaged one") << "0 1 2" << "-" << "2" << "01 01 03 03" << "" << "ERROR:1000013";
    QTest::newRow("marked, two hosts") << "0 3" << "-" << "2" << "01 01" << "04 04" << "OK";
    QTest::newRow("marked, empty port") << "0 2" << "" << "2" << "" << "" << "ERROR:1000013";
    QTest::newRow("nothing marked") << "" << "-" << "2" << "" << "" << "OK";
    // clang-format on
}

void TestSendWindow::send()
{
    QFETCH(QString, marked);
    QFETCH(QString, port);
    QFETCH(QString, repeat);
    QFETCH(QString, atFirst);
    QFETCH(QString, atSecond);
    QFETCH(QString, status);
    UdpReceiver first;
    UdpReceiver second("127.0.0.2", first.port());
    WindowFixture f;
    f.load(bookLine("pc0", "0A0B0C0D0E01", "127.0.0.1") + bookLine("pc1", "ZZ0B0C0D0E02", "127.0.0.1") +
           bookLine("pc2", "0A0B0C0D0E03", "127.0.0.1") + bookLine("pc3", "0A0B0C0D0E04", "127.0.0.2"));
    f.edit("portEdit")->setText(port == "-" ? QString::number(first.port()) : port);
    f.edit("repeatEdit")->setText(repeat);
    if (marked.size() == 12) {
        f.setMac(marked);
        f.edit("hostEdit")->setText(QStringLiteral("127.0.0.1"));
        f.click("sendButton");
    } else {
        f.setMac(QStringLiteral("zzzzzzzzzzzz")); // a batch sends the stored addresses only
        auto* list = f.find<QListView>("batchList");
        for (const QString& row : marked.split(u' ', Qt::SkipEmptyParts)) // ticked with a click on the name
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(list->model()->index(row.toInt(), 0)).center());
        f.click("batchSendButton");
    }
    QCOMPARE(f.status(), status);
    // A failure says in words what went wrong.
    QCOMPARE(f.find<QLabel>("statusLabel")->toolTip().isEmpty(), status == "OK");
    QCOMPARE(first.drain(), packets(atFirst));
    QCOMPARE(second.drain(), packets(atSecond));
}

void TestSendWindow::alarmsWake_data()
{
    QTest::addColumn<QString>("port");  // "-" for the receiver's port
    QTest::addColumn<QString>("woken"); // the computer of each datagram, in sending order
    QTest::addColumn<QString>("status");
    QTest::newRow("every day, then Monday, book order, the whole minute") << "-"
                                                                          << "13231323"
                                                                          << "";
    QTest::newRow("empty port: an error at each tick") << ""
                                                       << ""
                                                       << "ERROR:1000013";
}

// At 07:30 on Monday 7 December 2026 and the tick before and after that minute.
void TestSendWindow::alarmsWake()
{
    QFETCH(QString, port);
    QFETCH(QString, woken);
    QFETCH(QString, status);
    UdpReceiver receiver;
    WindowFixture f; // nothing is marked, the window is hidden: neither matters to alarms
    f.load(bookLine("pc1", "0A0B0C0D0E01", "127.0.0.1", "07:30") +
           bookLine("pc2", "0A0B0C0D0E02", "127.0.0.1", "__:__", "07:30") +
           bookLine("pc3", "0A0B0C0D0E03", "127.0.0.1", "07:30", "07:30"))
        .hide();
    f.find<QTimer>("alarmTimer")->stop();
    f.edit("portEdit")->setText(port == "-" ? QString::number(receiver.port()) : port);
    for (const char* when : {"07:29:59.900", "07:30", "07:30:59.900", "07:31"}) {
        f.clock.set(QDateTime::fromString(QStringLiteral("2026-12-07T") + when, Qt::ISODateWithMs));
        f.window->findChild<AlarmTimer*>()->tick();
    }
    QString sent;
    for (const QByteArray& datagram : receiver.drain())
        sent += QChar::fromLatin1(char(datagram.at(11) + '0'));
    QCOMPARE(sent, woken);
    QCOMPARE(f.status(), status);
    QCOMPARE(f.find<QLabel>("clockLabel")->text(), QStringLiteral("2026/12/07(月) 07:31"));
}

QTEST_MAIN(TestSendWindow)
#include "test_send_window.moc"
