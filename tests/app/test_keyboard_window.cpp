#include "app/Dialogs.h"
#include "app/FieldEdit.h"
#include "TarnelFixture.h"
#include "WindowTestRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <initializer_list>
#include <utility>

namespace {

// One line of "address.lst" for the computer `id`, whose address ends in that hex digit; alarms "__:__" except those
// given.
QByteArray entryLine(char id, std::initializer_list<std::pair<int, const char*>> alarms = {})
{
    QStringList slots(8, QStringLiteral("__:__"));
    for (const auto& [slot, time] : alarms)
        slots[slot] = QString::fromUtf8(time);
    return QStringLiteral("PC-%1,00000000000%1,%2,192.168.1.255\r\n")
        .arg(QChar::fromLatin1(id), slots.join(u','))
        .toUtf8();
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// The window of a fixture, shown and active, so that focus and keys behave as for a user.
Tarnel& activeWindow(TarnelFixture& f)
{
    Tarnel& w = f.load();
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        qWarning("the window did not become active");
    return w;
}

} // namespace

class TestKeyboardWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clickThenKeys_data();
    void clickThenKeys();
    void destroyedWhileInAlarmBox();
    void clockLabel();
    void alarmsFire_data();
    void alarmsFire();
    void getMacAddress_data();
    void getMacAddress();
};

void TestKeyboardWindow::clickThenKeys_data()
{
    QTest::addColumn<QString>("box"); // clicked into, holding `text`, then given `keys` ("\r" is Enter)
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("to");    // the focus afterwards
    QTest::addColumn<QString>("after"); // the text of the box afterwards
    // clang-format off
    QTest::newRow("PortNo 9001, one digit") << "PortNo" << "9001" << "7" << "PortNo" << "7";
    QTest::newRow("empty PortNo") << "PortNo" << "" << "7" << "PortNo" << "7";
    QTest::newRow("Enter in PortNo") << "PortNo" << "9001" << "\r" << "Text1_0" << "9001";
    QTest::newRow("Enter in host") << "host" << "10.0.0.255" << "\r" << "Text1_0" << "10.0.0.255";
    QTest::newRow("Enter in Text1(5)") << "Text1_5" << "00" << "\r" << "Text2_0" << "00";
    QTest::newRow("Enter in Text2(7), Saturday") << "Text2_7" << "__:__" << "\r" << "Text2_1" << "__:__";
    QTest::newRow("Enter in List1, no Tab") << "List1" << "" << "\r" << "List1" << "";
    QTest::newRow("two digits in Text1(2)") << "Text1_2" << "00" << "A5" << "Text1_2" << "A5";
    QTest::newRow("alarm box erased") << "Text2_2" << "__:__" << "\b\t" << "Text2_3" << "__:__";
    QTest::newRow("alarm box, a blank") << "Text2_2" << "__:__" << " \t" << "Text2_3" << " ";
    QTest::newRow("alarm box, 7:30") << "Text2_2" << "__:__" << "7:30\t" << "Text2_3" << "7:30";
    // clang-format on
}

void TestKeyboardWindow::clickThenKeys()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, keys);
    QFETCH(QString, to);
    QFETCH(QString, after);
    TarnelFixture f;
    Tarnel& w = activeWindow(f);
    auto* target = w.findChild<QWidget*>(box);
    auto* edit = qobject_cast<FieldEdit*>(target);
    if (edit)
        edit->setText(text);
    w.Text3->setFocus();
    // Neither the press nor the release may place the cursor in place of the selection.
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    QCOMPARE(focusName(), box);
    QCOMPARE(edit ? edit->selectedText() : QString(), text);
    QTest::keyClicks(target, keys);
    QCoreApplication::processEvents(); // the Tab of an Enter is queued behind the key
    QCOMPARE(focusName(), to);
    QCOMPARE(edit ? edit->text() : QString(), after);
    auto* entered = qobject_cast<FieldEdit*>(QApplication::focusWidget());
    QVERIFY(entered == edit || (entered->hasSelectedText() && entered->selectedText() == entered->text()));
}

void TestKeyboardWindow::destroyedWhileInAlarmBox()
{
    TarnelFixture f;
    QLineEdit* box = activeWindow(f).Text2[6];
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Backspace);
    // Destroying the window takes the focus from the emptied box; no handler of the half-destroyed window may run.
    bool ranLate = false;
    connect(box, &QLineEdit::textChanged, box, [&] { ranLate = ranLate || !qobject_cast<Tarnel*>(box->window()); });
    f.window.reset();
    QVERIFY(!ranLate);
}

void TestKeyboardWindow::clockLabel()
{
    TarnelFixture f;
    f.clock.set(QDateTime::fromString("2026-12-05T21:43:10", Qt::ISODate));
    Tarnel w(f.services);
    QTRY_COMPARE(w.NowStr->text(), QStringLiteral("2026/12/05(土) 21:43")); // by the running timer
    f.clock.set(QDateTime::fromString("2026-12-06T09:05:59.900", Qt::ISODateWithMs));
    QTRY_COMPARE(w.NowStr->text(), QStringLiteral("2026/12/06(日) 09:05"));
}

void TestKeyboardWindow::alarmsFire_data()
{
    QTest::addColumn<QByteArray>("book"); // nothing marked: marks do not matter to alarms
    QTest::addColumn<QString>("ticks");   // in December 2026: the 5th is a Saturday, the 8th a Tuesday
    QTest::addColumn<QString>("woken");   // the computer of each datagram, in sending order
    QTest::addColumn<QString>("setup");   // "hidden", or a box and the text it is given
    // clang-format off
    QTest::newRow("every day 07:30, the whole minute") << entryLine('A', {{0, "07:30"}})
        << "07T07:29:59.900 07T07:30 07T07:30:00.100 07T07:30:59.900 07T07:31 08T07:30" << "AAAA" << "";
    QTest::newRow("Tuesday only") << entryLine('A', {{3, "22:00"}}) << "07T22:00 08T22:00 09T22:00" << "A" << "";
    QTest::newRow("every day and today twice per tick, every day first") << entryLine('A', {{7, "12:00"}})
        + entryLine('B', {{0, "12:00"}, {7, "12:00"}}) << "05T12:00 05T12:00:00.100" << "BABBAB" << "";
    QTest::newRow("two entries in book order") << entryLine('F', {{0, "08:00"}}) + entryLine('C')
        + entryLine('1', {{0, "08:00"}}) << "07T08:00:30" << "F1" << "";
    QTest::newRow("7:30 never fires") << entryLine('A', {{0, "7:30"}, {2, "7:30"}}) << "07T07:30 07T17:30" << "" << "";
    QTest::newRow("typed but not stored") << entryLine('A') << "07T07:30" << "" << "Text2_0 07:30";
    QTest::newRow("empty PortNo: an error at each tick") << entryLine('A', {{0, "07:30"}})
        << "07T07:30 07T07:30:00.100" << "" << "PortNo ";
    QTest::newRow("window hidden") << entryLine('A', {{0, "07:30"}}) << "07T07:30" << "A" << "hidden";
    QTest::newRow("Sunday slot 1, Saturday slot 7") << entryLine('A', {{1, "09:05"}}) + entryLine('B', {{7, "09:05"}})
        << "05T09:05 06T09:05 07T09:05" << "BA" << "";
    QTest::newRow("21:43 is not 09:43") << entryLine('A', {{0, "21:43"}}) << "05T09:43 05T21:43" << "A" << "";
    // clang-format on
}

void TestKeyboardWindow::alarmsFire()
{
    QFETCH(QByteArray, book);
    QFETCH(QString, ticks);
    QFETCH(QString, woken);
    QFETCH(QString, setup);
    TarnelFixture f;
    f.writeFile(QStringLiteral("address.lst"), book);
    Tarnel& w = f.load();
    w.Timer1->stop();
    if (setup == "hidden")
        w.hide();
    else if (!setup.isEmpty())
        w.findChild<FieldEdit*>(setup.section(u' ', 0, 0))->setText(setup.section(u' ', 1));
    // A wake that fails writes its error; one that succeeds leaves the status as it was.
    for (const QString& when : ticks.split(u' ')) {
        w.Msg->setText(QStringLiteral("OK"));
        f.clock.set(QDateTime::fromString("2026-12-" + when, Qt::ISODateWithMs));
        w.Timer1_Timer();
        QCOMPARE(w.Msg->text(), setup.startsWith("PortNo") ? QStringLiteral("ERROR:1000013") : QStringLiteral("OK"));
    }
    QString sent;
    for (const RecordingSender::Datagram& d : f.sender.sent())
        sent += d.host == "192.168.1.255" && d.port == 9001 ? d.payload.mid(6, 6).toHex().back() : '?';
    QCOMPARE(sent.toUpper(), woken);
}

void TestKeyboardWindow::getMacAddress_data()
{
    QTest::addColumn<QString>("answer"); // <cancel> for Cancel
    QTest::addColumn<QString>("found");  // what the query returns
    QTest::addColumn<QString>("lookedUp");
    QTest::addColumn<QString>("boxes");
    // clang-format off
    QTest::newRow("cancel") << "<cancel>" << "000AE63B05F1" << "" << "123456789ABC";
    QTest::newRow("empty answer") << "" << "000AE63B05F1" << "" << "123456789ABC";
    QTest::newRow("no computer answers") << "192.168.1.77" << "" << "192.168.1.77" << "123456789ABC";
    QTest::newRow("own adapter") << "*" << "000AE63B05F1" << "*" << "000AE63B05F1";
    // clang-format on
}

void TestKeyboardWindow::getMacAddress()
{
    QFETCH(QString, answer);
    QFETCH(QString, found);
    QFETCH(QString, lookedUp);
    QFETCH(QString, boxes);
    TarnelFixture f;
    QStringList lookups;
    f.services.macLookup = [&](const QString& computer) {
        lookups.append(computer);
        return found;
    };
    Tarnel& w = activeWindow(f);
    for (int j = 0; j < 6; ++j)
        w.Text1[j]->setText(QStringLiteral("123456789ABC").mid(2 * j, 2));
    w.host->setText(QStringLiteral("10.1.2.255"));
    w.Text2[4]->setFocus();
    if (answer == "<cancel>")
        f.dialogs.setNextAnswer(Dialogs::Answer::Cancel);
    else
        f.dialogs.setNextInput(answer);
    QTest::mouseClick(w.Command6, Qt::LeftButton);

    QCOMPARE(lookups.join(u'|'), lookedUp);
    for (int j = 0; j < 6; ++j)
        QCOMPARE(w.Text1[j]->text(), boxes.mid(2 * j, 2));
    QCOMPARE(w.host->text(), QStringLiteral("10.1.2.255"));
    const bool filled = boxes == found;
    const QList<Dialogs::Asked>& asked = f.dialogs.asked();
    QCOMPARE(asked.size(), filled ? 1 : 2);
    QVERIFY(asked[0].input && asked[0].defaultText.isEmpty());
    QCOMPARE(asked[0].text + u'|' + asked[0].title,
             QStringLiteral("IPアドレスを入力してください（自分の場合は * でもＯＫです）\r\n\r\n"
                            "         Windows95 の場合は * 以外取得できません|Tarnel!"));
    if (!filled)
        QCOMPARE(asked[1].text, QStringLiteral("MACアドレスが取得できませんでした"));
    if (filled) {
        QTRY_COMPARE(focusName(), QStringLiteral("Text1_0"));
        QCOMPARE(w.Text1[0]->selectedText(), QStringLiteral("00"));
    }
}

static WindowTestRegistry::Add<TestKeyboardWindow> registered;

#include "test_keyboard_window.moc"
