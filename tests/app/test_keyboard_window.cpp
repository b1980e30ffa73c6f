// The keyboard path through the window: select on entry, Enter as Tab, the
// typing limits and the alarm boxes; and "MACアドレス 取得", which fills the
// MAC boxes and puts the focus into the first.
#include "WindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>

namespace {

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class TestKeyboardWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clickThenKeys_data();
    void clickThenKeys();
    void pasteWithinLimit();
    void awayAndBack();
    void fetchMac_data();
    void fetchMac();
};

void TestKeyboardWindow::clickThenKeys_data()
{
    QTest::addColumn<QString>("box"); // clicked into, holding `text`, then given `keys` ("\r" is Enter)
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("to");    // the focus afterwards
    QTest::addColumn<QString>("after"); // the text of the box afterwards
    // clang-format off
    QTest::newRow("port, one digit replaces all") << "portEdit" << "9001" << "7" << "portEdit" << "7";
    QTest::newRow("Enter in the host") << "hostEdit" << "10.0.0.255" << "\r" << "macEdit0" << "10.0.0.255";
    QTest::newRow("Enter in the last MAC box") << "macEdit5" << "00" << "\r" << "alarmEdit0" << "00";
    QTest::newRow("Enter on Saturday goes to Sunday") << "alarmEdit7" << "__:__" << "\r" << "alarmEdit1" << "__:__";
    QTest::newRow("Enter in the batch list, no Tab") << "batchList" << "" << "\r" << "batchList" << "";
    QTest::newRow("alarm box erased and left") << "alarmEdit2" << "__:__" << "\b\t" << "alarmEdit3" << "__:__";
    QTest::newRow("alarm box, 7:30") << "alarmEdit2" << "__:__" << "7:30\t" << "alarmEdit3" << "7:30";
    const QString keys = QStringLiteral("12345678901234567890"); // typing stops at each box's limit
    QTest::newRow("host limit") << "hostEdit" << "x" << keys << "hostEdit" << keys.left(15);
    QTest::newRow("MAC box limit") << "macEdit0" << "" << keys << "macEdit0" << keys.left(2);
    QTest::newRow("alarm box limit") << "alarmEdit3" << "x" << keys << "alarmEdit3" << keys.left(5);
    QTest::newRow("port limit") << "portEdit" << "" << keys << "portEdit" << keys.left(4);
    QTest::newRow("repeat limit") << "repeatEdit" << "99" << keys << "repeatEdit" << keys.left(1);
    // clang-format on
}

void TestKeyboardWindow::clickThenKeys()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, keys);
    QFETCH(QString, to);
    QFETCH(QString, after);
    WindowFixture f;
    f.load({}, true);
    auto* target = f.find(box);
    auto* edit = qobject_cast<QLineEdit*>(target);
    if (edit)
        edit->setText(text);
    f.edit(box == "hostEdit" ? "portEdit" : "hostEdit")->setFocus();
    // Neither the press nor the release may move the cursor away from the selection.
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    QCOMPARE(focusName() + u' ' + (edit ? edit->selectedText() : QString()), box + u' ' + text);
    QTest::keyClicks(target, keys);
    QCoreApplication::processEvents(); // the Tab of an Enter is queued behind the key
    QCOMPARE(focusName() + u' ' + (edit ? edit->text() : QString()), to + u' ' + after);
    auto* entered = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(entered == edit || entered->selectedText() == entered->text());
    // The window going away takes the focus from the box: nothing may touch what is already gone.
    f.window.reset();
}

// Pasted and input-method text is cut to the room left, and at a line break.
void TestKeyboardWindow::pasteWithinLimit()
{
    WindowFixture f;
    LimitedLineEdit* mac = (f.load({}, true), f.edit("macEdit1"));
    mac->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("A\nBCD"));
    QTest::keyClick(mac, Qt::Key_V, Qt::ControlModifier);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("ＢＣＤ"));
    QCoreApplication::sendEvent(mac, &composed);
    QCOMPARE(mac->text(), QStringLiteral("AＢ"));
}

// Going to another window and back is no move between the boxes: the box
// keeps its text unselected, and an empty alarm box stays empty.
void TestKeyboardWindow::awayAndBack()
{
    WindowFixture f;
    f.load({}, true);
    QWidget other;
    const auto awayAndBackAgain = [&](const char* box, const QString& whileAway) {
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(f.edit(box)->text(), whileAway);
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(focusName(), QString::fromLatin1(box));
    };
    QTest::mouseClick(f.edit("alarmEdit2"), Qt::LeftButton);
    QTest::keyClicks(f.edit("alarmEdit2"), QStringLiteral("7:3"));
    awayAndBackAgain("alarmEdit2", QStringLiteral("7:3"));
    QTest::keyClicks(f.edit("alarmEdit2"), QStringLiteral("0"));
    QCOMPARE(f.edit("alarmEdit2")->text(), QStringLiteral("7:30"));

    QTest::mouseClick(f.edit("alarmEdit3"), Qt::LeftButton);
    QTest::keyClick(f.edit("alarmEdit3"), Qt::Key_Backspace);
    awayAndBackAgain("alarmEdit3", QString());
    QTest::keyClicks(f.edit("alarmEdit3"), QStringLiteral("8:00"));
    QCOMPARE(f.edit("alarmEdit3")->text(), QStringLiteral("8:00"));
}

void TestKeyboardWindow::fetchMac_data()
{
    QTest::addColumn<QString>("answer"); // empty: the box is cancelled
    QTest::addColumn<QString>("found");  // what the lookup returns
    QTest::addColumn<QString>("boxes");
    QTest::newRow("cancelled") << ""
                               << "000AE63B05F1"
                               << "123456789ABC";
    QTest::newRow("no computer answers") << "192.168.1.77"
                                         << ""
                                         << "123456789ABC";
    QTest::newRow("own adapter") << "*"
                                 << "000AE63B05F1"
                                 << "000AE63B05F1";
}

void TestKeyboardWindow::fetchMac()
{
    QFETCH(QString, answer);
    QFETCH(QString, found);
    QFETCH(QString, boxes);
    WindowFixture f;
    QStringList lookups;
    f.services.macLookup = [&](const QString& computer) { return lookups.append(computer), found; };
    f.load({}, true);
    f.setMac(QStringLiteral("123456789ABC"));
    f.edit("alarmEdit4")->setFocus();
    f.dialogs.answerText(answer);
    f.click("fetchMacButton");
    QCOMPARE(lookups, answer.isEmpty() ? QStringList() : QStringList{answer});
    QCOMPARE(f.mac(), boxes);
    QStringList expected = {QStringLiteral("IPアドレスを入力してください（自分の場合は * でもＯＫです）\r\n\r\n"
                                           "         Windows95 の場合は * 以外取得できません")};
    if (boxes != found)
        expected << QStringLiteral("MACアドレスが取得できませんでした");
    QCOMPARE(f.dialogs.askedTexts(), expected);
    QCOMPARE(focusName() + u' ' + f.edit("macEdit0")->selectedText(),
             boxes == found ? QStringLiteral("macEdit0 00") : QStringLiteral("fetchMacButton "));
}

QTEST_MAIN(TestKeyboardWindow)
#include "test_keyboard_window.moc"
