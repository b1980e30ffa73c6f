#include "Dialogs.h"
#include "FieldEdit.h"
#include "TarnelFixture.h"
#include "WindowTestRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
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

// 2026-12-05 is a Saturday, so 12-06 is a Sunday, 12-07 a Monday and 12-08 a Tuesday.
QDateTime at(const char* when)
{
    return QDateTime::fromString(QString::fromLatin1(when), Qt::ISODateWithMs);
}

QWidget* focused()
{
    return QApplication::focusWidget();
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

const QString MacPrompt = QStringLiteral("IPアドレスを入力してください（自分の場合は * でもＯＫです）\r\n\r\n"
                                         "         Windows95 の場合は * 以外取得できません");
const QString MacFailure = QStringLiteral("MACアドレスが取得できませんでした");

} // namespace

class TestKeyboardWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clickSelectsWholeText_data();
    void clickSelectsWholeText();
    void enterMovesOnAsTab_data();
    void enterMovesOnAsTab();
    void fullBoxKeepsFocus();
    void alarmBoxOnLeaving_data();
    void alarmBoxOnLeaving();
    void destroyedWhileInAlarmBox();
    void clockLabelAndTimer();
    void alarmsFire_data();
    void alarmsFire();
    void getMacAddress_data();
    void getMacAddress();
};

void TestKeyboardWindow::clickSelectsWholeText_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("PortNo 9001") << "PortNo" << QStringLiteral("9001");
    QTest::newRow("empty PortNo") << "PortNo" << QString();
    QTest::newRow("host") << "host" << QStringLiteral("255.255.255.255");
    QTest::newRow("Text3") << "Text3" << QStringLiteral("1");
    QTest::newRow("Text1(4)") << "Text1_4" << QStringLiteral("00");
    QTest::newRow("alarm slot") << "Text2_5" << QStringLiteral("__:__");
}

void TestKeyboardWindow::clickSelectsWholeText()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    TarnelFixture f;
    Tarnel& w = activeWindow(f);
    auto* edit = w.findChild<FieldEdit*>(box);
    QVERIFY(edit);
    edit->setText(text);
    w.Text1[0]->setFocus(Qt::OtherFocusReason);
    QCOMPARE(focused(), w.Text1[0]);

    // The press gives the focus and selects; neither it nor the release may place the cursor instead.
    QTest::mousePress(edit, Qt::LeftButton, {}, edit->rect().center());
    QCOMPARE(focused(), edit);
    QCOMPARE(edit->selectedText(), text);
    QTest::mouseRelease(edit, Qt::LeftButton, {}, edit->rect().center());
    QCOMPARE(edit->selectedText(), text);
    QCOMPARE(edit->hasSelectedText(), !text.isEmpty());

    QTest::keyClick(edit, Qt::Key_7);
    QCOMPARE(edit->text(), QStringLiteral("7"));

    // A second click into the box that has the focus places the cursor as usual.
    edit->setText(QStringLiteral("12"));
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 2, edit->height() / 2));
    QVERIFY(!edit->hasSelectedText());
}

void TestKeyboardWindow::enterMovesOnAsTab_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");
    QTest::newRow("Enter in PortNo") << "PortNo" << int(Qt::Key_Return) << "Text1_0";
    QTest::newRow("Enter in Text3") << "Text3" << int(Qt::Key_Return) << "Text1_0";
    QTest::newRow("Enter in host") << "host" << int(Qt::Key_Return) << "Text1_0";
    QTest::newRow("Enter in Combo1") << "Combo1" << int(Qt::Key_Return) << "Text1_0";
    QTest::newRow("Enter in Text1(0)") << "Text1_0" << int(Qt::Key_Return) << "Text1_1";
    QTest::newRow("keypad Enter in Text1(3)") << "Text1_3" << int(Qt::Key_Enter) << "Text1_4";
    QTest::newRow("Enter in Text1(5)") << "Text1_5" << int(Qt::Key_Return) << "Text2_0";
    QTest::newRow("Enter in Text2(0), every day") << "Text2_0" << int(Qt::Key_Return) << "Text2_2";
    QTest::newRow("Enter in Text2(7), Saturday") << "Text2_7" << int(Qt::Key_Return) << "Text2_1";
    QTest::newRow("Enter in Text2(1), Sunday") << "Text2_1" << int(Qt::Key_Return) << "Text1_0";
    QTest::newRow("Tab from Text2(1)") << "Text2_1" << int(Qt::Key_Tab) << "Text1_0";
    QTest::newRow("Tab from PortNo") << "PortNo" << int(Qt::Key_Tab) << "Text1_0";
    QTest::newRow("Enter in List1") << "List1" << int(Qt::Key_Return) << "List1";
    QTest::newRow("Enter on Check1") << "Check1" << int(Qt::Key_Return) << "Check1";
    QTest::newRow("A letter in host") << "host" << int(Qt::Key_A) << "host";
}

void TestKeyboardWindow::enterMovesOnAsTab()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    TarnelFixture f;
    Tarnel& w = activeWindow(f);
    auto* source = w.findChild<QWidget*>(from);
    QVERIFY(source);
    source->setFocus(Qt::OtherFocusReason);
    QCOMPARE(focused(), source);

    QTest::keyClick(source, Qt::Key(key));
    // The Tab is queued behind the key: let it run before looking.
    QCoreApplication::processEvents();
    QTRY_VERIFY(focused());
    QCOMPARE(focused()->objectName(), to);
    if (auto* box = qobject_cast<FieldEdit*>(focused()); box && box != source) {
        QVERIFY(!box->text().isEmpty());
        QCOMPARE(box->selectedText(), box->text());
    }
    QVERIFY(f.sender.sent().isEmpty());
}

void TestKeyboardWindow::fullBoxKeepsFocus()
{
    TarnelFixture f;
    Tarnel& w = activeWindow(f);
    w.Text1[2]->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w.Text1[2], QStringLiteral("A5"));
    QCoreApplication::processEvents();
    QCOMPARE(w.Text1[2]->text(), QStringLiteral("A5"));
    QCOMPARE(focused(), w.Text1[2]);
}

void TestKeyboardWindow::alarmBoxOnLeaving_data()
{
    QTest::addColumn<QString>("typed"); // empty for Backspace over the selection
    QTest::addColumn<QString>("kept");
    QTest::newRow("erased") << QString() << "__:__";
    QTest::newRow("a single blank") << " " << QStringLiteral(" ");
    QTest::newRow("7:30 unchanged") << "7:30" << QStringLiteral("7:30");
    QTest::newRow("0 over __:__") << "0" << QStringLiteral("0");
    QTest::newRow("a time") << "07:30" << QStringLiteral("07:30");
}

void TestKeyboardWindow::alarmBoxOnLeaving()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    TarnelFixture f;
    Tarnel& w = activeWindow(f);
    w.Text2[0]->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(w.Text2[0], Qt::Key_Tab);
    QCOMPARE(focused(), w.Text2[2]);
    QCOMPARE(w.Text2[2]->selectedText(), QStringLiteral("__:__"));

    if (typed.isEmpty())
        QTest::keyClick(w.Text2[2], Qt::Key_Backspace);
    else
        QTest::keyClicks(w.Text2[2], typed);
    QCOMPARE(w.Text2[2]->text(), typed);

    QTest::keyClick(w.Text2[2], Qt::Key_Tab);
    QCOMPARE(focused(), w.Text2[3]);
    QCOMPARE(w.Text2[2]->text(), kept);
    QCOMPARE(w.Text2[3]->text(), QStringLiteral("__:__"));
}

void TestKeyboardWindow::destroyedWhileInAlarmBox()
{
    TarnelFixture f;
    Tarnel& w = activeWindow(f);
    w.Text2[6]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.Text2[6], Qt::Key_Backspace);
    QVERIFY(w.Text2[6]->text().isEmpty());

    // Destroying the active window takes the focus from the box; no handler of the window may run by then.
    const QWidget* window = &w;
    bool ranInDestroyedWindow = false;
    connect(w.Text2[6], &QLineEdit::textChanged, w.Text2[6],
            [&] { ranInDestroyedWindow = ranInDestroyedWindow || !qobject_cast<const Tarnel*>(window); });
    f.window.reset();
    QVERIFY2(!ranInDestroyedWindow, "Text2_LostFocus ran on a window already past ~Tarnel (focus-out during "
                                    "~QWidget); the box handlers must be disconnected when the window is destroyed");
}

void TestKeyboardWindow::clockLabelAndTimer()
{
    TarnelFixture f;
    f.clock.set(at("2026-12-05T21:43:10"));
    Tarnel w(f.services);
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 100);
    QCOMPARE(w.NowStr->text(), QStringLiteral("Now"));

    // The running timer, not only a tick by hand, updates the label.
    QTRY_COMPARE(w.NowStr->text(), QStringLiteral("2026/12/05(土) 21:43"));
    f.clock.set(at("2026-12-06T09:05:59.900"));
    QTRY_COMPARE(w.NowStr->text(), QStringLiteral("2026/12/06(日) 09:05"));

    w.Timer1->stop();
    f.clock.set(at("2026-12-07T00:00:00"));
    w.Timer1_Timer();
    QCOMPARE(w.NowStr->text(), QStringLiteral("2026/12/07(月) 00:00"));
    QVERIFY(f.sender.sent().isEmpty()); // no address book: only the label changes
}

void TestKeyboardWindow::alarmsFire_data()
{
    QTest::addColumn<QByteArray>("book");
    QTest::addColumn<QStringList>("ticks");
    QTest::addColumn<QString>("woken"); // the computer of each datagram, in sending order
    QTest::addColumn<QString>("setup"); // "hidden", "port empty", "mark B", "typed 07:30" or ""

    QTest::newRow("every day 07:30, the whole minute")
        << entryLine('A', {{0, "07:30"}})
        << QStringList{"2026-12-07T07:29:59.900", "2026-12-07T07:30:00", "2026-12-07T07:30:00.100",
                       "2026-12-07T07:30:59.900", "2026-12-07T07:31:00", "2026-12-08T07:30:00"}
        << QStringLiteral("AAAA") << "";
    QTest::newRow("Tuesday 22:00 on Tuesday only")
        << entryLine('A', {{3, "22:00"}})
        << QStringList{"2026-12-07T22:00:00", "2026-12-08T22:00:00", "2026-12-08T22:00:59.900", "2026-12-08T22:01:00",
                       "2026-12-09T22:00:00"}
        << QStringLiteral("AA") << "";
    QTest::newRow("every day and today twice per tick, every day first")
        << entryLine('A', {{7, "12:00"}}) + entryLine('B', {{0, "12:00"}, {7, "12:00"}})
        << QStringList{"2026-12-05T12:00:00", "2026-12-05T12:00:00.100"} << QStringLiteral("BABBAB") << "";
    QTest::newRow("two entries in book order")
        << entryLine('F', {{0, "08:00"}}) + entryLine('C') + entryLine('1', {{0, "08:00"}})
        << QStringList{"2026-12-07T08:00:30"} << QStringLiteral("F1") << "";
    QTest::newRow("marked or not, alike") << entryLine('A', {{0, "08:00"}}) + entryLine('B', {{0, "08:00"}})
                                          << QStringList{"2026-12-07T08:00:00"} << QStringLiteral("AB") << "mark B";
    QTest::newRow("7:30 never fires") << entryLine('A', {{0, "7:30"}, {2, "7:30"}})
                                      << QStringList{"2026-12-07T07:30:00", "2026-12-07T17:30:00"} << QString() << "";
    QTest::newRow("typed but not stored")
        << entryLine('A') << QStringList{"2026-12-07T07:30:00"} << QString() << "typed 07:30";
    QTest::newRow("empty PortNo: an error at each tick")
        << entryLine('A', {{0, "07:30"}}) << QStringList{"2026-12-07T07:30:00", "2026-12-07T07:30:00.100"} << QString()
        << "port empty";
    QTest::newRow("window hidden") << entryLine('A', {{0, "07:30"}}) << QStringList{"2026-12-07T07:30:00"}
                                   << QStringLiteral("A") << "hidden";
    QTest::newRow("Sunday slot 1, Saturday slot 7")
        << entryLine('A', {{1, "09:05"}}) + entryLine('B', {{7, "09:05"}})
        << QStringList{"2026-12-05T09:05:00", "2026-12-06T09:05:00", "2026-12-07T09:05:00"} << QStringLiteral("BA")
        << "";
    QTest::newRow("21:43 is not 09:43") << entryLine('A', {{0, "21:43"}})
                                        << QStringList{"2026-12-05T09:43:00", "2026-12-05T21:43:00"}
                                        << QStringLiteral("A") << "";
}

void TestKeyboardWindow::alarmsFire()
{
    QFETCH(QByteArray, book);
    QFETCH(QStringList, ticks);
    QFETCH(QString, woken);
    QFETCH(QString, setup);
    // A wake that fails writes its error; one that succeeds leaves the status as it was.
    const QString status =
        setup == QStringLiteral("port empty") ? QStringLiteral("ERROR:1000013") : QStringLiteral("OK");
    TarnelFixture f;
    f.writeFile(QStringLiteral("address.lst"), book);
    Tarnel& w = f.load();
    QVERIFY(w.Timer1->isActive());
    w.Timer1->stop();
    if (setup == QStringLiteral("hidden"))
        w.hide();
    else if (setup == QStringLiteral("port empty"))
        w.PortNo->clear();
    else if (setup == QStringLiteral("mark B"))
        w.List1->item(1)->setCheckState(Qt::Checked);
    else if (setup == QStringLiteral("typed 07:30"))
        w.Text2[0]->setText(QStringLiteral("07:30"));
    for (int i = 0; i < w.List1->count(); ++i)
        QCOMPARE(w.List1->item(i)->checkState(),
                 setup == QStringLiteral("mark B") && i == 1 ? Qt::Checked : Qt::Unchecked);

    for (const QString& when : std::as_const(ticks)) {
        w.Msg->setText(QStringLiteral("OK"));
        f.clock.set(QDateTime::fromString(when, Qt::ISODateWithMs));
        w.Timer1_Timer();
        QVERIFY2(w.NowStr->text().endsWith(when.mid(11, 5)), qPrintable(when));
        QCOMPARE(w.Msg->text(), status);
    }

    QString sent;
    for (const RecordingSender::Datagram& datagram : f.sender.sent()) {
        QCOMPARE(datagram.host, QStringLiteral("192.168.1.255"));
        QCOMPARE(datagram.port, 9001);
        const QByteArray mac = datagram.payload.mid(6, 6);
        QCOMPARE(datagram.payload, QByteArray(6, char(0xFF)) + mac.repeated(16));
        sent += QString::fromLatin1(mac.toHex().toUpper()).right(1);
    }
    QCOMPARE(sent, woken);
}

void TestKeyboardWindow::getMacAddress_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("found"); // what the query returns
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("boxes");

    const QStringList before = {"12", "34", "56", "78", "9A", "BC"};
    const QString mac = QStringLiteral("000AE63B05F1");
    const QStringList fetched = {"00", "0A", "E6", "3B", "05", "F1"};
    QTest::newRow("cancel") << true << "" << mac << QStringList() << before;
    QTest::newRow("empty answer") << false << "" << mac << QStringList() << before;
    QTest::newRow("no computer answers") << false << "192.168.1.77"
                                         << "" << QStringList{"192.168.1.77"} << before;
    QTest::newRow("own adapter") << false << "*" << mac << QStringList{"*"} << fetched;
    QTest::newRow("answer passed as typed") << false << " *" << mac << QStringList{" *"} << fetched;
    QTest::newRow("a name") << false << "SERVER-2" << mac << QStringList{"SERVER-2"} << fetched;
}

void TestKeyboardWindow::getMacAddress()
{
    QFETCH(bool, cancel);
    QFETCH(QString, answer);
    QFETCH(QString, found);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, boxes);
    TarnelFixture f;
    QStringList lookups;
    f.services.macLookup = [&](const QString& computer) {
        lookups.append(computer);
        return found;
    };
    Tarnel& w = activeWindow(f);
    const QStringList before = {"12", "34", "56", "78", "9A", "BC"};
    for (int j = 0; j < 6; ++j)
        w.Text1[j]->setText(before[j]);
    w.host->setText(QStringLiteral("10.1.2.255"));
    w.Msg->setText(QStringLiteral("OK"));
    w.Text2[4]->setFocus(Qt::OtherFocusReason);
    if (cancel)
        f.dialogs.setNextAnswer(Dialogs::Answer::Cancel);
    else
        f.dialogs.setNextInput(answer);

    QTest::mouseClick(w.Command6, Qt::LeftButton);

    QCOMPARE(lookups, asked);
    const bool filled = boxes != before;
    const QList<Dialogs::Asked>& shown = f.dialogs.asked();
    QCOMPARE(shown.size(), filled ? 1 : 2);
    QVERIFY(shown[0].input);
    QCOMPARE(shown[0].text, MacPrompt);
    QCOMPARE(shown[0].title, QStringLiteral("Tarnel!"));
    QCOMPARE(shown[0].defaultText, QString());
    if (!filled) {
        QVERIFY(!shown[1].input);
        QCOMPARE(shown[1].text, MacFailure);
        QCOMPARE(shown[1].title, QStringLiteral("Tarnel!"));
        QCOMPARE(shown[1].buttons, Dialogs::Buttons::Ok);
        QCOMPARE(shown[1].icon, Dialogs::Icon::None);
    }
    for (int j = 0; j < 6; ++j)
        QCOMPARE(w.Text1[j]->text(), boxes[j]);
    QCOMPARE(w.host->text(), QStringLiteral("10.1.2.255"));
    QCOMPARE(w.Msg->text(), QStringLiteral("OK"));
    QVERIFY(f.sender.sent().isEmpty());
    if (filled) {
        QTRY_COMPARE(focused(), w.Text1[0]);
        QCOMPARE(w.Text1[0]->selectedText(), QStringLiteral("00"));
    }
}

static WindowTestRegistry::Add<TestKeyboardWindow> registered;

#include "test_keyboard_window.moc"
