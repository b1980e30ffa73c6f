#include "DiskFull.h"
#include "app/FieldEdit.h"
#include "TarnelFixture.h"
#include "UdpReceiver.h"
#include "WindowTestRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <functional>

namespace {

const QString ListFile = QStringLiteral("address.lst");
const QDateTime LongAgo(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);

// One line of the file: name, the twelve byte characters, the every-day alarm, seven unset weekdays, host.
QByteArray line(const QString& name, const QString& mac, const QString& host = QStringLiteral("10.0.0.1"),
                const QString& everyDay = QStringLiteral("__:__"))
{
    return (name + u',' + mac + u',' + everyDay + QStringLiteral(",__:__").repeated(7) + u',' + host + "\r\n").toUtf8();
}

// Not in alphabetical order, so any sorting shows.
const QString ThreeNames = QStringLiteral("Charlie Alpha Bravo");
const QByteArray ThreeEntries = line("Charlie", "0A0B0C0D0E01", "10.0.0.1", "07:30") +
                                line("Alpha", "0A0B0C0D0E02", "10.0.0.2") + line("Bravo", "0A0B0C0D0E03", "10.0.0.3");

// Writes the book with an old time stamp, so that a rewrite shows even when it writes the same bytes, and loads it.
Tarnel& loadBook(TarnelFixture& f, const QByteArray& file)
{
    f.writeFile(ListFile, file);
    QFile written(f.path(ListFile));
    if (!written.open(QIODevice::ReadWrite) || !written.setFileTime(LongAgo, QFileDevice::FileModificationTime))
        qWarning("could not age the book file");
    written.close();
    return f.load();
}

// The names of the book, which Combo1 and List1 must show in the same order.
QString listNames(const Tarnel& w)
{
    QStringList book, combo, list;
    for (const AddressEntry& entry : w.addressBook())
        book << entry.name;
    for (int i = 0; i < w.Combo1->count(); ++i)
        combo << w.Combo1->itemText(i);
    for (int i = 0; i < w.List1->count(); ++i)
        list << w.List1->item(i)->text();
    return combo == book && list == book ? book.join(u' ') : QStringLiteral("lists differ: ") + combo.join(u' ');
}

// The names in the file, each of whose lines must hold eleven fields and end in CR LF.
QString fileNames(const TarnelFixture& f)
{
    QStringList names;
    for (const QString& l : QString::fromUtf8(f.readFile(ListFile)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        names << (l.count(u',') == 10 && !l.contains(u'\n') ? l.section(u',', 0, 0) : QStringLiteral("bad: ") + l);
    return names.join(u' ');
}

// The choice and the six byte boxes.
QString shown(const Tarnel& w)
{
    QString texts = QString::number(w.Combo1->currentIndex()) + u' ';
    for (const FieldEdit* box : w.Text1)
        texts += box->text();
    return texts;
}

bool warned(const Dialogs::Asked& asked)
{
    return !asked.input && asked.title == QStringLiteral("Tarnel!") && asked.buttons == Dialogs::Buttons::Ok &&
           asked.icon == Dialogs::Icon::Exclamation;
}

// The hosts written by each run of Combo1_Click during `action`. The box is emptied after each write so that a
// second run with the same host shows too.
QStringList choiceRuns(Tarnel& w, const std::function<void()>& action)
{
    QStringList hosts;
    w.host->clear();
    const auto counting = QObject::connect(w.host, &QLineEdit::textChanged, w.host, [&](const QString& text) {
        if (!text.isEmpty()) {
            hosts << text;
            w.host->clear();
        }
    });
    action();
    QObject::disconnect(counting);
    return hosts;
}

// The Magic Packets of the addresses 0A0B0C0D0E<ending>.
QList<QByteArray> packets(const QString& endings)
{
    QList<QByteArray> all;
    for (const QString& ending : endings.split(u' ', Qt::SkipEmptyParts))
        all << QByteArray(6, char(0xFF)) + QByteArray::fromHex("0A0B0C0D0E" + ending.toLatin1()).repeated(16);
    return all;
}

} // namespace

class TestAddressBookWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editThroughWindow_data();
    void editThroughWindow();
    void oneRunPerChoice();
    void batchSend_data();
    void batchSend();
    void failedSaveKeepsBookAndFile();
    void partlyReadFileBackedUpOnce_data();
    void partlyReadFileBackedUpOnce();
    void markAllAndClear();
};

void TestAddressBookWindow::editThroughWindow_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("typed"); // into Text1(3): one character is stored with a space
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("answer");  // a name, <cancel>, <yes>, <no>, or empty: no box is shown
    QTest::addColumn<QString>("outcome"); // the file "saved" or "kept"; "refused" warns too
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("shownAfter"); // the choice and the byte boxes
    // Lone LF line ends and a twelfth field, neither of which survives a rewrite.
    const QByteArray odd = QByteArray(ThreeEntries).replace("\r\n", ",x\n");
    const QByteArray solo = line("Solo", "0A0B0C0D0E09");
    // clang-format off
    QTest::newRow("add") << odd << 0 << "A" << 0 << "New" << "saved" << ThreeNames + " New" << "3 0A0B0CA 0E01";
    QTest::newRow("add cancelled") << odd << 0 << "A" << 0 << "<cancel>" << "saved" << ThreeNames << "0 0A0B0CA0E01";
    QTest::newRow("change") << odd << 1 << "A" << 1 << "New" << "saved" << "Charlie New Bravo" << "1 0A0B0CA0E02";
    QTest::newRow("change cancelled") << odd << 1 << "A" << 1 << "<cancel>" << "kept" << ThreeNames << "1 0A0B0CA0E02";
    QTest::newRow("change, empty book") << QByteArray() << 0 << "A" << 1 << "" << "saved" << "" << "-1 000000A0000";
    QTest::newRow("delete first") << odd << 0 << "A" << 2 << "<yes>" << "saved" << "Alpha Bravo" << "0 0A0B0C0D0E02";
    QTest::newRow("delete middle") << odd << 1 << "A" << 2 << "<yes>" << "saved" << "Charlie Bravo" << "1 0A0B0C0D0E03";
    QTest::newRow("delete last") << odd << 2 << "A" << 2 << "<yes>" << "saved" << "Charlie Alpha" << "1 0A0B0C0D0E02";
    QTest::newRow("delete only") << solo << 0 << "A" << 2 << "<yes>" << "saved" << "" << "-1 0A0B0CA0E09";
    QTest::newRow("delete answered No") << odd << 0 << "A" << 2 << "<no>" << "kept" << ThreeNames << "0 0A0B0CA0E01";
    QTest::newRow("delete, empty book") << QByteArray() << 0 << "A" << 2 << "" << "saved" << "" << "-1 000000A0000";
    QTest::newRow("comma in byte box") << odd << 0 << "1," << 0 << "New" << "refused" << ThreeNames << "0 0A0B0C1,0E01";
    QTest::newRow("comma in name") << odd << 1 << "A" << 1 << "a,b" << "refused" << ThreeNames << "1 0A0B0CA0E02";
    QTest::newRow("CR LF in name") << odd << 0 << "A" << 0 << "a\r\nb" << "refused" << ThreeNames << "0 0A0B0CA0E01";
    // clang-format on
}

void TestAddressBookWindow::editThroughWindow()
{
    QFETCH(QByteArray, file);
    QFETCH(int, chosen);
    QFETCH(QString, typed);
    QFETCH(int, button);
    QFETCH(QString, answer);
    QFETCH(QString, outcome);
    QFETCH(QString, names);
    QFETCH(QString, shownAfter);
    TarnelFixture f;
    Tarnel& w = loadBook(f, file);
    for (int i = 0; i < chosen; ++i)
        QTest::keyClick(w.Combo1, Qt::Key_Down);
    w.Text1[3]->setText(typed);
    if (answer.startsWith(u'<'))
        f.dialogs.setNextAnswer(answer == "<yes>"  ? Dialogs::Answer::Yes
                                : answer == "<no>" ? Dialogs::Answer::No
                                                   : Dialogs::Answer::Cancel);
    else if (!answer.isEmpty())
        f.dialogs.setNextInput(answer);
    QTest::mouseClick(w.Command3[button], Qt::LeftButton);

    const QList<Dialogs::Asked>& asked = f.dialogs.asked();
    QCOMPARE(asked.size(), answer.isEmpty() ? 0 : outcome == "refused" ? 2 : 1);
    if (!asked.isEmpty() && button < 2) {
        QCOMPARE(asked[0].text + u'|' + asked[0].title, QStringLiteral("名前を入力して下さい|Tarnel!"));
        QCOMPARE(asked[0].defaultText, button == 1 ? ThreeNames.section(u' ', chosen, chosen) : QString());
    } else if (!asked.isEmpty()) {
        QCOMPARE(asked[0].text + u'|' + asked[0].title, QStringLiteral("リストから削除しますか？|確認"));
        QVERIFY(asked[0].buttons == Dialogs::Buttons::YesNo && asked[0].defaultButton == Dialogs::Answer::No &&
                asked[0].icon == Dialogs::Icon::None);
    }
    if (!asked.isEmpty())
        QCOMPARE(asked[0].input, button < 2);
    QVERIFY(outcome != "refused" || warned(asked[1]));
    QCOMPARE(listNames(w), names);
    QCOMPARE(shown(w), shownAfter);
    QCOMPARE(QFileInfo(f.path(ListFile)).lastModified() != LongAgo, outcome == "saved");
    if (outcome == "saved")
        QCOMPARE(fileNames(f), names);
    else
        QCOMPARE(f.readFile(ListFile), file);
    QCOMPARE(QFileInfo(f.path(ListFile)).size() == 0, names.isEmpty());
}

void TestAddressBookWindow::oneRunPerChoice()
{
    TarnelFixture f;
    f.writeFile(ListFile, ThreeEntries);
    f.window = std::make_unique<Tarnel>(f.services);
    Tarnel& w = *f.window;
    QCOMPARE(choiceRuns(w, [&] { w.Form_Load(); }), QStringList{"10.0.0.1"});
    QCOMPARE(choiceRuns(w, [&] { QTest::keyClick(w.Combo1, Qt::Key_Down); }), QStringList{"10.0.0.2"});

    // The wheel over the list chooses only while the list has the focus.
    const auto wheelDown = [&] {
        QWheelEvent event(QPointF(5, 5), w.Combo1->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.Combo1, &event);
    };
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.host->setFocus();
    QVERIFY(choiceRuns(w, wheelDown).isEmpty());
    QCOMPARE(w.Combo1->currentIndex(), 1);
    w.Combo1->setFocus();
    QCOMPARE(choiceRuns(w, wheelDown), QStringList{"10.0.0.3"});
}

void TestAddressBookWindow::batchSend_data()
{
    QTest::addColumn<QList<int>>("marked"); // of 01, ZZ (damaged) and 03 on 127.0.0.1, and 04 on 127.0.0.2
    QTest::addColumn<QString>("port");      // "-" for the receivers' port
    QTest::addColumn<QString>("atFirst");   // the address endings arriving at 127.0.0.1, in order
    QTest::addColumn<QString>("atSecond");  // at 127.0.0.2
    QTest::addColumn<QString>("status");
    // clang-format off
    QTest::newRow("items 0 and 2") << QList<int>{0, 2} << "-" << "01 01 03 03" << "" << "OK";
    QTest::newRow("damaged entry among marked") << QList<int>{0, 1, 2} << "-" << "01 01 03 03" << "" << "ERROR:1000013";
    QTest::newRow("two hosts") << QList<int>{0, 3} << "-" << "01 01" << "04 04" << "OK";
    QTest::newRow("empty port") << QList<int>{0, 2} << "" << "" << "" << "ERROR:1000013";
    QTest::newRow("nothing marked") << QList<int>() << "-" << "" << "" << "OK";
    // clang-format on
}

void TestAddressBookWindow::batchSend()
{
    QFETCH(QList<int>, marked);
    QFETCH(QString, port);
    QFETCH(QString, atFirst);
    QFETCH(QString, atSecond);
    QFETCH(QString, status);
    UdpReceiver first;
    UdpReceiver second("127.0.0.2", first.port());
    TarnelFixture f(true);
    Tarnel& w = loadBook(f, line("pc0", "0A0B0C0D0E01", "127.0.0.1") + line("pc1", "ZZ0B0C0D0E02", "127.0.0.1") +
                                line("pc2", "0A0B0C0D0E03", "127.0.0.1") + line("pc3", "0A0B0C0D0E04", "127.0.0.2"));
    w.PortNo->setText(port == "-" ? QString::number(first.port()) : port);
    w.Text3->setText(QStringLiteral("2")); // each entry's packets must stay together
    for (FieldEdit* box : w.Text1)
        box->setText(QStringLiteral("zz")); // a batch sends the stored addresses only
    for (int i : marked)
        w.List1->item(i)->setCheckState(Qt::Checked);
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    QCOMPARE(w.Msg->text(), status);
    QCOMPARE(first.drain(), packets(atFirst));
    QCOMPARE(second.drain(), packets(atSecond));
}

void TestAddressBookWindow::failedSaveKeepsBookAndFile()
{
    TarnelFixture f;
    Tarnel& w = loadBook(f, ThreeEntries);
    f.dialogs.setNextInput(QStringLiteral("New"));
    {
        DiskFull full;
        QTest::mouseClick(w.Command3[0], Qt::LeftButton);
    }
    QCOMPARE(f.dialogs.asked().size(), 2);
    QVERIFY(warned(f.dialogs.asked()[1]));
    QCOMPARE(listNames(w), ThreeNames + " New");
    QCOMPARE(f.readFile(ListFile), ThreeEntries);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{ListFile}); // no temporary file left
}

void TestAddressBookWindow::partlyReadFileBackedUpOnce_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("firstNames");
    QTest::addColumn<QByteArray>("saved");
    // "東京" and "サーバ" in code page 932.
    const QByteArray rest = line("", "0A0B0C0D0E01");
    QTest::newRow("Shift-JIS") << "\x93\x8C\x8B\x9E" + rest + "\x83\x54\x81\x5B\x83\x6F" + rest << "東京 サーバ"
                               << "東京" + rest + "サーバ" + rest;
    QByteArray many, kept;
    for (int i = 0; i < 40000; ++i) {
        many += line(QStringLiteral("pc%1").arg(i), "0A0B0C0D0E0F");
        if (i == AddressBook::MaxEntries - 1)
            kept = many;
    }
    QTest::newRow("40,000 lines") << many << "pc0 pc1" << kept;
}

void TestAddressBookWindow::partlyReadFileBackedUpOnce()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, firstNames);
    QFETCH(QByteArray, saved);
    TarnelFixture f;
    Tarnel& w = loadBook(f, file);
    QCOMPARE(listNames(w).section(u' ', 0, 1), firstNames);
    // The original is copied aside, and that reported, before the first save only.
    for (int save = 0; save < 2; ++save) {
        f.dialogs.clearAsked();
        QTest::mouseClick(w.Command3[0], Qt::LeftButton); // cancelled, saved
        QCOMPARE(f.readFile(ListFile), saved);
        QCOMPARE(f.readFile(QStringLiteral("address.lst.bak")), file);
        QCOMPARE(f.dialogs.asked().size(), 2 - save);
        if (save == 0)
            QVERIFY(warned(f.dialogs.asked()[1]) &&
                    f.dialogs.asked()[1].text.contains(QStringLiteral("address.lst.bak")));
    }
}

void TestAddressBookWindow::markAllAndClear()
{
    TarnelFixture empty; // nothing to mark, nothing to fail
    for (QPushButton* button : empty.load().Command7)
        QTest::mouseClick(button, Qt::LeftButton);
    TarnelFixture f;
    Tarnel& w = loadBook(f, ThreeEntries);
    w.List1->item(1)->setCheckState(Qt::Checked);
    for (int press = 0; press < 4; ++press) {
        QTest::mouseClick(w.Command7[press / 2], Qt::LeftButton);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w.List1->item(i)->checkState(), press < 2 ? Qt::Checked : Qt::Unchecked);
    }

    // Clearing empties the alarm boxes only, and not the book.
    w.Text1[5]->setText(QStringLiteral("A"));
    QTest::mouseClick(w.Command8, Qt::LeftButton);
    for (const FieldEdit* box : w.Text2)
        QCOMPARE(box->text(), QStringLiteral("__:__"));
    QCOMPARE(shown(w), QStringLiteral("0 0A0B0C0D0EA"));
    QCOMPARE(w.addressBook().at(0).alarms[0], QStringLiteral("07:30"));
}

static WindowTestRegistry::Add<TestAddressBookWindow> registered;

#include "test_addressbook_window.moc"
