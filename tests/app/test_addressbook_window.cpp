#include "DiskFull.h"
#include "FieldEdit.h"
#include "TarnelFixture.h"
#include "UdpReceiver.h"
#include "WindowTestRegistry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

const QString NoAlarm = QStringLiteral("__:__");
const QString ListFile = QStringLiteral("address.lst");
const QDateTime LongAgo(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
const QStringList ThreeNames{"Charlie", "Alpha", "Bravo"};

// One line of the file: name, the twelve byte characters, the every-day alarm, seven unset weekdays, host.
QByteArray line(const QString& name, const QString& mac, const QString& host, const QString& everyDay = NoAlarm)
{
    return (QStringList{name, mac, everyDay} + QStringList(7, NoAlarm) + QStringList{host}).join(u',').toUtf8() +
           "\r\n";
}

// Not in alphabetical order, so any sorting shows.
QByteArray threeEntries()
{
    return line("Charlie", "0A0B0C0D0E01", "10.0.0.1", "07:30") + line("Alpha", "0A0B0C0D0E02", "10.0.0.2") +
           line("Bravo", "0A0B0C0D0E03", "10.0.0.3");
}

// Both name lists and the book must hold these names, in this order.
void checkBook(const Tarnel& w, const QStringList& names)
{
    QStringList book, combo, list;
    for (const AddressEntry& entry : w.addressBook())
        book << entry.Name;
    for (int i = 0; i < w.Combo1->count(); ++i)
        combo << w.Combo1->itemText(i);
    for (int i = 0; i < w.List1->count(); ++i)
        list << w.List1->item(i)->text();
    QCOMPARE(book, names);
    QCOMPARE(combo, names);
    QCOMPARE(list, names);
}

QList<bool> marks(const Tarnel& w)
{
    QList<bool> marked;
    for (int i = 0; i < w.List1->count(); ++i)
        marked << (w.List1->item(i)->checkState() == Qt::Checked);
    return marked;
}

// The lines of the file, each of which must have eleven fields and end in CR LF.
QStringList fileLines(const TarnelFixture& f)
{
    QStringList lines = QString::fromUtf8(f.readFile(ListFile)).split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (const QString& l : std::as_const(lines))
        if (l.contains(u'\r') || l.contains(u'\n') || l.count(u',') != 10)
            QTest::qFail(qPrintable(QStringLiteral("not a line of the file: ") + l), __FILE__, __LINE__);
    return lines;
}

QStringList fileNames(const TarnelFixture& f)
{
    QStringList names;
    for (const QString& l : fileLines(f))
        names << l.section(u',', 0, 0);
    return names;
}

// host, the six byte boxes, the eight alarm boxes
QStringList shown(const Tarnel& w)
{
    QStringList texts{w.host->text()};
    for (const FieldEdit* box : w.Text1)
        texts << box->text();
    for (const FieldEdit* box : w.Text2)
        texts << box->text();
    return texts;
}

QStringList fieldsOf(const QString& host, const QString& mac, const QString& everyDay = NoAlarm,
                     const QString& otherDays = NoAlarm)
{
    QStringList texts{host};
    for (int j = 0; j < 6; ++j)
        texts << mac.mid(2 * j, 2);
    return texts + QStringList{everyDay} + QStringList(7, otherDays);
}

// An old time stamp, so that a rewrite shows even when it writes the same bytes.
void ageFile(const TarnelFixture& f)
{
    QFile file(f.path(ListFile));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(LongAgo, QFileDevice::FileModificationTime));
}

bool fileUntouched(const TarnelFixture& f)
{
    const QFileInfo info(f.path(ListFile));
    return info.exists() && info.lastModified() == LongAgo;
}

void checkNamePrompt(const Dialogs::Asked& asked, const QString& defaultText)
{
    QVERIFY(asked.input);
    QCOMPARE(asked.text, QStringLiteral("名前を入力して下さい"));
    QCOMPARE(asked.title, QStringLiteral("Tarnel!"));
    QCOMPARE(asked.defaultText, defaultText);
}

void checkWarning(const Dialogs::Asked& asked)
{
    QVERIFY(!asked.input);
    QCOMPARE(asked.title, QStringLiteral("Tarnel!"));
    QCOMPARE(asked.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(asked.icon, Dialogs::Icon::Exclamation);
}

// The hosts written by each run of Combo1_Click during `action`. A run writes the host box first; the box is set
// to a mark after each write so that a second run with the same host shows too. Afterwards the box gets back what
// the last run wrote, or its text from before. The action must not read the host box.
QStringList choiceRuns(Tarnel& w, const std::function<void()>& action)
{
    const QString mark = QStringLiteral("<mark>");
    const QString before = w.host->text();
    QStringList hosts;
    w.host->setText(mark);
    const QMetaObject::Connection counting =
        QObject::connect(w.host, &QLineEdit::textChanged, w.host, [&](const QString& text) {
            if (text != mark) {
                hosts << text;
                w.host->setText(mark);
            }
        });
    action();
    QObject::disconnect(counting);
    w.host->setText(hosts.isEmpty() ? before : hosts.last());
    return hosts;
}

void wheelDown(QWidget* widget)
{
    const QPointF at = QRectF(widget->rect()).center();
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

QByteArray packetFor(const QString& mac)
{
    return QByteArray(6, char(0xFF)) + QByteArray::fromHex(mac.toLatin1()).repeated(16);
}

} // namespace

class TestAddressBookWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileRewrittenAfterEdits_data();
    void fileRewrittenAfterEdits();
    void deleteSelectsNeighbour_data();
    void deleteSelectsNeighbour();
    void changeKeepsPlaceAndAddPads();
    void loadAndChoose();
    void batchSend_data();
    void batchSend();
    void unstorableTextRefused_data();
    void unstorableTextRefused();
    void failedSaveKeepsBookAndFile();
    void partlyReadFileBackedUpOnce_data();
    void partlyReadFileBackedUpOnce();
    void markAllAndClear();
};

void TestAddressBookWindow::fileRewrittenAfterEdits_data()
{
    QTest::addColumn<QByteArray>("file"); // "-" for no file
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("answer"); // a name, <cancel>, <empty>, <yes>, <no>, or nothing queued
    QTest::addColumn<bool>("rewritten");
    QTest::addColumn<QStringList>("book"); // the names afterwards
    // Lone LF line ends and a twelfth field, neither of which survives a rewrite.
    const QByteArray odd = threeEntries().replace("\r\n", ",x\n");
    const QByteArray none("-");
    QTest::newRow("add completed") << odd << 0 << "New" << true << (ThreeNames + QStringList{"New"});
    QTest::newRow("add cancelled") << odd << 0 << "<cancel>" << true << ThreeNames;
    QTest::newRow("add with no name") << odd << 0 << "<empty>" << true << ThreeNames;
    QTest::newRow("add cancelled, no file") << none << 0 << "<cancel>" << true << QStringList();
    QTest::newRow("change completed") << odd << 1 << "New" << true << QStringList{"New", "Alpha", "Bravo"};
    QTest::newRow("change cancelled") << odd << 1 << "<cancel>" << false << ThreeNames;
    QTest::newRow("change, empty book") << QByteArray() << 1 << "" << true << QStringList();
    QTest::newRow("change, no file") << none << 1 << "" << true << QStringList();
    QTest::newRow("delete completed") << odd << 2 << "<yes>" << true << QStringList{"Alpha", "Bravo"};
    QTest::newRow("delete answered No") << odd << 2 << "<no>" << false << ThreeNames;
    QTest::newRow("delete, empty book") << QByteArray() << 2 << "" << true << QStringList();
}

void TestAddressBookWindow::fileRewrittenAfterEdits()
{
    QFETCH(QByteArray, file);
    QFETCH(int, button);
    QFETCH(QString, answer);
    QFETCH(bool, rewritten);
    QFETCH(QStringList, book);
    TarnelFixture f;
    if (file != "-") {
        f.writeFile(ListFile, file);
        ageFile(f);
    }
    Tarnel& w = f.load();
    if (answer == "<cancel>" || answer == "<yes>" || answer == "<no>")
        f.dialogs.setNextAnswer(answer == "<yes>"  ? Dialogs::Answer::Yes
                                : answer == "<no>" ? Dialogs::Answer::No
                                                   : Dialogs::Answer::Cancel);
    else if (!answer.isEmpty())
        f.dialogs.setNextInput(answer == "<empty>" ? QString() : answer);
    QTest::mouseClick(w.Command3[button], Qt::LeftButton);

    // A box only where something is selected or added; an empty book asks nothing.
    const QList<Dialogs::Asked>& asked = f.dialogs.asked();
    QCOMPARE(f.dialogs.pendingAnswers(), 0);
    QCOMPARE(asked.size(), answer.isEmpty() ? 0 : 1);
    if (!answer.isEmpty() && button < 2)
        checkNamePrompt(asked[0], button == 1 ? QStringLiteral("Charlie") : QString());
    if (!answer.isEmpty() && button == 2) {
        QVERIFY(!asked[0].input);
        QCOMPARE(asked[0].text, QStringLiteral("リストから削除しますか？"));
        QCOMPARE(asked[0].title, QStringLiteral("確認"));
        QCOMPARE(asked[0].buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(asked[0].defaultButton, Dialogs::Answer::No);
        QCOMPARE(asked[0].icon, Dialogs::Icon::None);
    }
    checkBook(w, book);
    QCOMPARE(!fileUntouched(f), rewritten);
    if (rewritten) {
        QVERIFY(QFileInfo::exists(f.path(ListFile)));
        QCOMPARE(fileNames(f), book);
    } else {
        QCOMPARE(f.readFile(ListFile), file);
    }
}

void TestAddressBookWindow::deleteSelectsNeighbour_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("shownAfter"); // empty: the fields keep their texts
    QTest::newRow("middle") << threeEntries() << 1 << QStringList{"Charlie", "Bravo"} << 1
                            << fieldsOf("10.0.0.3", "0A0B0C0D0E03");
    QTest::newRow("last") << threeEntries() << 2 << QStringList{"Charlie", "Alpha"} << 1
                          << fieldsOf("10.0.0.2", "0A0B0C0D0E02");
    QTest::newRow("only") << line("Solo", "0A0B0C0D0E09", "10.0.0.9") << 0 << QStringList() << -1 << QStringList();
}

void TestAddressBookWindow::deleteSelectsNeighbour()
{
    QFETCH(QByteArray, file);
    QFETCH(int, chosen);
    QFETCH(QStringList, after);
    QFETCH(int, selected);
    QFETCH(QStringList, shownAfter);
    TarnelFixture f;
    f.writeFile(ListFile, file);
    Tarnel& w = f.load();
    while (w.Combo1->currentIndex() < chosen)
        QTest::keyClick(w.Combo1, Qt::Key_Down);
    w.List1->item(w.List1->count() - 1)->setCheckState(Qt::Checked);
    w.Text1[0]->setText(QStringLiteral("77")); // typed, not stored
    const QStringList before = shown(w);
    const QList<bool> marksBefore = marks(w);
    f.dialogs.setNextAnswer(Dialogs::Answer::Yes);
    const QStringList runs = choiceRuns(w, [&] { QTest::mouseClick(w.Command3[2], Qt::LeftButton); });

    checkBook(w, after);
    QCOMPARE(w.Combo1->currentIndex(), selected);
    // The program chooses the neighbour, once; with no entry left nothing is chosen.
    QCOMPARE(runs, shownAfter.mid(0, 1));
    QCOMPARE(shown(w), shownAfter.isEmpty() ? before : shownAfter);
    QCOMPARE(marks(w), marksBefore.mid(0, chosen) + marksBefore.mid(chosen + 1));
    QCOMPARE(fileNames(f), after);
    if (after.isEmpty())
        QCOMPARE(QFileInfo(f.path(ListFile)).size(), 0);
}

void TestAddressBookWindow::changeKeepsPlaceAndAddPads()
{
    TarnelFixture f;
    f.writeFile(ListFile, threeEntries());
    Tarnel& w = f.load();
    QTest::keyClick(w.Combo1, Qt::Key_Down);
    w.List1->item(1)->setCheckState(Qt::Checked);
    w.host->setText(QStringLiteral("192.168.0.9"));
    w.Text1[0]->setText(QStringLiteral("FF"));
    w.Text1[3]->setText(QStringLiteral("A"));
    w.Text2[2]->setText(QStringLiteral("08:00"));
    f.dialogs.setNextInput(QStringLiteral("Delta"));
    QTest::mouseClick(w.Command3[1], Qt::LeftButton);
    checkNamePrompt(f.dialogs.asked().value(0), QStringLiteral("Alpha"));
    const QStringList renamed{"Charlie", "Delta", "Bravo"};
    checkBook(w, renamed);
    QCOMPARE(w.Combo1->currentIndex(), 1);
    QCOMPARE(marks(w), (QList<bool>{false, true, false}));
    QCOMPARE(w.Text1[3]->text(), QStringLiteral("A")); // not chosen again
    QCOMPARE(w.addressBook().at(1).Mac[3], QStringLiteral("A "));
    QCOMPARE(fileLines(f).value(1),
             QStringLiteral("Delta,FF0B0CA 0E02,__:__,__:__,08:00,__:__,__:__,__:__,__:__,__:__,192.168.0.9"));

    // A name the book already holds gives a second entry, which the program chooses.
    w.Text1[3]->setText(QStringLiteral("B"));
    f.dialogs.setNextInput(QStringLiteral("Charlie"));
    QTest::mouseClick(w.Command3[0], Qt::LeftButton);
    checkNamePrompt(f.dialogs.asked().value(1), QString());
    checkBook(w, renamed + QStringList{"Charlie"});
    QCOMPARE(w.Combo1->currentIndex(), 3);
    QCOMPARE(w.Text1[3]->text(), QStringLiteral("B "));
    QCOMPARE(fileLines(f).value(3).section(u',', 1, 1), QStringLiteral("FF0B0CB 0E02"));
    QCOMPARE(fileNames(f), renamed + QStringList{"Charlie"});
}

void TestAddressBookWindow::loadAndChoose()
{
    TarnelFixture f;
    f.writeFile(ListFile, threeEntries().left(threeEntries().indexOf("Bravo")) + "Echo,0A0B0C0D0E0F\r\n");
    f.window = std::make_unique<Tarnel>(f.services);
    Tarnel& w = *f.window;
    QCOMPARE(choiceRuns(w, [&] { w.Form_Load(); }), QStringList{"10.0.0.1"});
    checkBook(w, {"Charlie", "Alpha", "Echo"});
    QCOMPARE(w.Combo1->currentIndex(), 0);
    QCOMPARE(shown(w), fieldsOf("10.0.0.1", "0A0B0C0D0E01", "07:30"));
    QVERIFY(f.dialogs.asked().isEmpty());
    QVERIFY(!w.List1->isSortingEnabled());
    for (int i = 0; i < w.List1->count(); ++i) {
        QVERIFY(w.List1->item(i)->flags() & Qt::ItemIsUserCheckable);
        QCOMPARE(w.List1->item(i)->checkState(), Qt::Unchecked);
    }

    // A choice by the user overwrites what was typed, once, and leaves the port and the repeat count.
    w.PortNo->setText(QStringLiteral("1234"));
    w.Text3->setText(QStringLiteral("3"));
    w.Text1[2]->selectAll();
    QTest::keyClicks(w.Text1[2], QStringLiteral("99"));
    QCOMPARE(choiceRuns(w, [&] { QTest::keyClick(w.Combo1, Qt::Key_Down); }), QStringList{"10.0.0.2"});
    QCOMPARE(shown(w), fieldsOf("10.0.0.2", "0A0B0C0D0E02"));
    // With the mouse, on a line of two fields: empty alarm boxes, the broadcast host.
    const QStringList runs = choiceRuns(w, [&] {
        w.Combo1->showPopup();
        QAbstractItemView* view = w.Combo1->view();
        QTRY_VERIFY(view->isVisible());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 0)).center());
        QTRY_VERIFY(!view->isVisible());
    });
    QCOMPARE(runs, QStringList{"255.255.255.255"});
    QCOMPARE(shown(w), fieldsOf("255.255.255.255", "0A0B0C0D0E0F", "", ""));
    QCOMPARE(w.PortNo->text(), QStringLiteral("1234"));
    QCOMPARE(w.Text3->text(), QStringLiteral("3"));

    // The wheel over the list chooses only while the list has the focus.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.Combo1, Qt::Key_Home);
    w.host->setFocus();
    QVERIFY(choiceRuns(w, [&] { wheelDown(w.Combo1); }).isEmpty());
    QCOMPARE(w.Combo1->currentIndex(), 0);
    w.Combo1->setFocus();
    QVERIFY(w.Combo1->hasFocus());
    QCOMPARE(choiceRuns(w, [&] { wheelDown(w.Combo1); }), QStringList{"10.0.0.2"});
    QCOMPARE(w.Combo1->currentIndex(), 1);
}

void TestAddressBookWindow::batchSend_data()
{
    QTest::addColumn<QStringList>("macs");
    QTest::addColumn<QStringList>("hosts");
    QTest::addColumn<QList<int>>("marked");
    QTest::addColumn<QString>("port"); // "-" for the receivers' port
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<QStringList>("sent"); // "host mac", in the order sent
    QTest::addColumn<QString>("status");
    const QStringList three{"0A0B0C0D0E01", "0A0B0C0D0E02", "0A0B0C0D0E03"};
    const QStringList local(3, QStringLiteral("127.0.0.1"));
    const QString first = QStringLiteral("127.0.0.1 0A0B0C0D0E01");
    const QString third = QStringLiteral("127.0.0.1 0A0B0C0D0E03");
    // clang-format off
    QTest::newRow("items 0 and 2 of three") << three << local << QList<int>{0, 2} << "-" << "1"
        << QStringList{first, third} << "OK";
    QTest::newRow("damaged entry among marked")
        << QStringList{"0A0B0C0D0E01", "ZZ0B0C0D0E02", "0A0B0C0D0E03"} << local << QList<int>{0, 1, 2} << "-" << "1"
        << QStringList{first, third} << "ERROR:1000013";
    QTest::newRow("two hosts, two each")
        << three << QStringList{"127.0.0.1", "127.0.0.2", "127.0.0.1"} << QList<int>{0, 1} << "-" << "2"
        << QStringList{first, first, "127.0.0.2 0A0B0C0D0E02", "127.0.0.2 0A0B0C0D0E02"} << "OK";
    QTest::newRow("empty port") << three << local << QList<int>{0, 1} << "" << "1" << QStringList() << "ERROR:1000013";
    QTest::newRow("nothing marked") << three << local << QList<int>() << "-" << "1" << QStringList() << "OK";
    // clang-format on
}

void TestAddressBookWindow::batchSend()
{
    QFETCH(QStringList, macs);
    QFETCH(QStringList, hosts);
    QFETCH(QList<int>, marked);
    QFETCH(QString, port);
    QFETCH(QString, repeat);
    QFETCH(QStringList, sent);
    QFETCH(QString, status);
    // Real sockets show what arrives at each host; the recording sender shows the order across hosts.
    for (const bool real : {true, false}) {
        UdpReceiver first;
        UdpReceiver second("127.0.0.2", first.port());
        QCOMPARE(second.port(), first.port());
        TarnelFixture f(real);
        QByteArray file;
        for (int i = 0; i < macs.size(); ++i)
            file += line(QStringLiteral("pc%1").arg(i), macs[i], hosts[i]);
        f.writeFile(ListFile, file);
        Tarnel& w = f.load();
        w.PortNo->setText(port == "-" ? QString::number(first.port()) : port);
        w.Text3->setText(repeat);
        for (FieldEdit* box : w.Text1)
            box->setText(QStringLiteral("zz")); // a batch sends the stored addresses only
        for (int i : marked)
            w.List1->item(i)->setCheckState(Qt::Checked);
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        QCOMPARE(w.Msg->text(), status);
        if (real) {
            for (const auto& [receiver, host] : {std::pair{&first, "127.0.0.1 "}, std::pair{&second, "127.0.0.2 "}}) {
                QList<QByteArray> expected;
                for (const QString& datagram : sent)
                    if (datagram.startsWith(QLatin1String(host)))
                        expected << packetFor(datagram.section(u' ', 1));
                QCOMPARE(receiver->drain(), expected);
            }
        } else {
            QStringList recorded;
            for (const RecordingSender::Datagram& datagram : f.sender.sent()) {
                QCOMPARE(datagram.port, first.port());
                recorded << datagram.host + u' ' + QString::fromLatin1(datagram.payload.mid(6, 6).toHex().toUpper());
            }
            QCOMPARE(recorded, sent);
        }
    }
}

void TestAddressBookWindow::unstorableTextRefused_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("box"); // the field given the text below
    QTest::addColumn<QString>("text");
    // clang-format off
    QTest::newRow("comma in a byte box, add")      << 0 << "New"  << "Text1_2" << "1,";
    QTest::newRow("comma in a byte box, change")   << 1 << "New"  << "Text1_0" << ",";
    QTest::newRow("comma in the name, add")        << 0 << "a,b"  << ""        << "";
    QTest::newRow("line feed in the name, change") << 1 << "a\nb" << ""        << "";
    QTest::newRow("CR in the host, add")           << 0 << "New"  << "host"    << "10.0.0.1\r";
    QTest::newRow("LF in an alarm box, change")    << 1 << "New"  << "Text2_3" << "07\n30";
    QTest::newRow("comma in an alarm box, add")    << 0 << "New"  << "Text2_0" << "07,30";
    // clang-format on
}

void TestAddressBookWindow::unstorableTextRefused()
{
    QFETCH(int, button);
    QFETCH(QString, name);
    QFETCH(QString, box);
    QFETCH(QString, text);
    TarnelFixture f;
    f.writeFile(ListFile, threeEntries());
    ageFile(f);
    Tarnel& w = f.load();
    const AddressBook before = w.addressBook();
    if (!box.isEmpty())
        w.findChild<FieldEdit*>(box)->setText(text);
    f.dialogs.setNextInput(name);
    QTest::mouseClick(w.Command3[button], Qt::LeftButton);
    QCOMPARE(f.dialogs.asked().size(), 2);
    checkWarning(f.dialogs.asked()[1]);
    QVERIFY(std::equal(before.begin(), before.end(), w.addressBook().begin(), w.addressBook().end()));
    checkBook(w, ThreeNames);
    QVERIFY(fileUntouched(f));
    QCOMPARE(f.readFile(ListFile), threeEntries());
}

void TestAddressBookWindow::failedSaveKeepsBookAndFile()
{
    TarnelFixture f;
    f.writeFile(ListFile, threeEntries());
    Tarnel& w = f.load();
    f.dialogs.setNextInput(QStringLiteral("New"));
    {
        DiskFull full;
        QTest::mouseClick(w.Command3[0], Qt::LeftButton);
    }
    QCOMPARE(f.dialogs.asked().size(), 2);
    checkWarning(f.dialogs.asked()[1]);
    checkBook(w, ThreeNames + QStringList{"New"});
    QCOMPARE(f.readFile(ListFile), threeEntries());
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{ListFile});

    // The next edit, with room on the disk again, saves the whole book.
    f.dialogs.setNextInput(QStringLiteral("Newer"));
    QTest::mouseClick(w.Command3[1], Qt::LeftButton);
    QCOMPARE(f.dialogs.asked().size(), 3);
    QCOMPARE(fileNames(f), ThreeNames + QStringList{"Newer"});
}

void TestAddressBookWindow::partlyReadFileBackedUpOnce_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QStringList>("firstNames");
    QTest::addColumn<QByteArray>("saved");
    // "東京" and "サーバ" in code page 932.
    const QByteArray rest = line("", "0A0B0C0D0E01", "10.0.0.1");
    QTest::newRow("Shift-JIS") << "\x93\x8C\x8B\x9E" + rest + "\x83\x54\x81\x5B\x83\x6F" + rest << 2
                               << QStringList{"東京", "サーバ"} << "東京" + rest + "サーバ" + rest;
    QByteArray many;
    QByteArray kept;
    for (int i = 0; i < 40000; ++i) {
        many += line(QStringLiteral("pc%1").arg(i), "0A0B0C0D0E0F", "10.0.0.1");
        if (i == 32766)
            kept = many;
    }
    QTest::newRow("40,000 lines") << many << 32767 << QStringList{"pc0", "pc1"} << kept;
}

void TestAddressBookWindow::partlyReadFileBackedUpOnce()
{
    QFETCH(QByteArray, file);
    QFETCH(int, entries);
    QFETCH(QStringList, firstNames);
    QFETCH(QByteArray, saved);
    TarnelFixture f;
    f.writeFile(ListFile, file);
    Tarnel& w = f.load();
    QCOMPARE(w.addressBook().size(), entries);
    QCOMPARE(w.List1->count(), entries);
    QCOMPARE(w.Combo1->count(), entries);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(w.Combo1->itemText(i), firstNames[i]);
        QCOMPARE(w.List1->item(i)->text(), firstNames[i]);
    }
    QVERIFY(f.dialogs.asked().isEmpty());

    if (entries == AddressBook::MaxEntries) {
        // A full book takes no more entries.
        f.dialogs.setNextInput(QStringLiteral("one more"));
        QTest::mouseClick(w.Command3[0], Qt::LeftButton);
        QCOMPARE(f.dialogs.asked().size(), 2);
        checkWarning(f.dialogs.asked()[1]);
        QCOMPARE(w.addressBook().size(), entries);
        QCOMPARE(w.List1->count(), entries);
        QCOMPARE(f.readFile(ListFile), file);
    }
    // The original is copied aside and reported before the first save only.
    for (int save = 0; save < 2; ++save) {
        f.dialogs.clearAsked();
        QTest::mouseClick(w.Command3[0], Qt::LeftButton); // cancelled, saved
        QCOMPARE(f.readFile(ListFile), saved);
        QCOMPARE(f.readFile(QStringLiteral("address.lst.bak")), file);
        QCOMPARE(f.dialogs.asked().size(), save == 0 ? 2 : 1);
        if (save == 0) {
            checkWarning(f.dialogs.asked()[1]);
            QVERIFY(f.dialogs.asked()[1].text.contains(QStringLiteral("address.lst.bak")));
        }
    }
}

void TestAddressBookWindow::markAllAndClear()
{
    {
        TarnelFixture f;
        Tarnel& w = f.load();
        QTest::mouseClick(w.Command7[0], Qt::LeftButton);
        QTest::mouseClick(w.Command7[1], Qt::LeftButton);
        QCOMPARE(w.List1->count(), 0);
        QVERIFY(f.dialogs.asked().isEmpty());
        QVERIFY(!QFileInfo::exists(f.path(ListFile)));
    }
    TarnelFixture f;
    QByteArray file;
    for (int i = 0; i < 5; ++i)
        file += line(QStringLiteral("pc%1").arg(i), "0A0B0C0D0E0F", "10.0.0.1", "07:30");
    f.writeFile(ListFile, file);
    ageFile(f);
    Tarnel& w = f.load();
    w.List1->item(1)->setCheckState(Qt::Checked);
    w.List1->item(3)->setCheckState(Qt::Checked);
    for (int press = 0; press < 4; ++press) {
        QTest::mouseClick(w.Command7[press / 2], Qt::LeftButton);
        QCOMPARE(marks(w), QList<bool>(5, press < 2));
    }

    w.Text2[3]->setText(QStringLiteral("12:00"));
    w.Text1[5]->setText(QStringLiteral("A"));
    w.host->setText(QStringLiteral("10.9.9.9"));
    w.PortNo->setText(QStringLiteral("2000"));
    w.Text3->setText(QStringLiteral("4"));
    const QStringList expected = shown(w).mid(0, 7) + QStringList(8, NoAlarm);
    QTest::mouseClick(w.Command8, Qt::LeftButton);
    QCOMPARE(shown(w), expected);
    QCOMPARE(w.PortNo->text(), QStringLiteral("2000"));
    QCOMPARE(w.Text3->text(), QStringLiteral("4"));
    QCOMPARE(w.addressBook().at(0).Alarm[0], QStringLiteral("07:30"));
    QVERIFY(f.dialogs.asked().isEmpty());
    QVERIFY(fileUntouched(f));
}

static WindowTestRegistry::Add<TestAddressBookWindow> registered;

#include "test_addressbook_window.moc"
