// Keeping the address book from the window: choosing, adding, changing and
// deleting computers, marking them, and what the file holds afterwards.
#include "DiskFull.h"
#include "WindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListView>
#include <QWheelEvent>

namespace {

const QString ListFile = QStringLiteral("address.lst");
const QDateTime LongAgo(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
// Not in alphabetical order, so any sorting shows.
const QString ThreeNames = QStringLiteral("Charlie Alpha Bravo");
const QByteArray ThreeEntries = bookLine("Charlie", "0A0B0C0D0E01", "10.0.0.1", "07:30") +
                                bookLine("Alpha", "0A0B0C0D0E02", "10.0.0.2") + bookLine("Bravo", "0A0B0C0D0E03", "10.0.0.3");

// Writes the book with an old time stamp, so that a rewrite shows even when it writes the same bytes, and loads it.
void loadBook(WindowFixture& f, const QByteArray& file, bool active = false)
{
    f.writeFile(ListFile, file);
    QFile written(f.path(ListFile));
    if (!written.open(QIODevice::ReadWrite) || !written.setFileTime(LongAgo, QFileDevice::FileModificationTime))
        qWarning("could not age the book file");
    written.close();
    f.load(active);
}

// One column of both lists, which must show the same rows: the names, or the marks as 0 and 1.
QString rows(const WindowFixture& f, int role = Qt::DisplayRole)
{
    QStringList combo, list;
    const QAbstractItemModel* names = f.find<QComboBox>("computerCombo")->model();
    const QAbstractItemModel* marks = f.find<QListView>("batchList")->model();
    for (int i = 0; i < marks->rowCount(); ++i) {
        combo << names->index(i, 0).data().toString();
        list << marks->index(i, 0).data(role).toString();
    }
    return role != Qt::DisplayRole || combo == list ? list.join(u' ') : QStringLiteral("lists differ: ") + combo.join(u' ');
}

// The names in the file, each of whose lines must hold eleven fields and end in CR LF.
QString fileNames(const WindowFixture& f)
{
    QStringList names;
    for (const QString& l : QString::fromUtf8(f.readFile(ListFile)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        names << (l.count(u',') == 10 && !l.contains(u'\n') ? l.section(u',', 0, 0) : QStringLiteral("bad: ") + l);
    return names.join(u' ');
}

} // namespace

class TestBookWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void edit_data();
    void edit();
    void choosingFillsTheBoxes();
    void saveProblemsAreSaid();
    void marksAndClear();
};

void TestBookWindow::edit_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("typed"); // into macEdit3: one character is stored with a space
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("answer");  // a name, <yes>, <no> or <cancel>; empty: no box is shown
    QTest::addColumn<QString>("outcome"); // the file "saved" or "kept"; "refused" warns too
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("shownAfter"); // the choice and the MAC boxes
    // Lone LF line ends and a twelfth field, neither of which survives a rewrite.
    const QByteArray odd = QByteArray(ThreeEntries).replace("\r\n", ",x\n");
    const QByteArray solo = bookLine("Solo", "0A0B0C0D0E09");
    // clang-format off
    QTest::newRow("add") << odd << 0 << "A" << "add" << "New" << "saved" << ThreeNames + " New" << "3 0A0B0CA 0E01";
    QTest::newRow("add cancelled, saved") << odd << 0 << "A" << "add" << "<cancel>" << "saved" << ThreeNames << "0 0A0B0CA0E01";
    QTest::newRow("change") << odd << 1 << "A" << "change" << "New" << "saved" << "Charlie New Bravo" << "1 0A0B0CA0E02";
    QTest::newRow("change cancelled") << odd << 1 << "A" << "change" << "<cancel>" << "kept" << ThreeNames << "1 0A0B0CA0E02";
    QTest::newRow("change, empty book") << QByteArray() << 0 << "A" << "change" << "" << "saved" << "" << "-1 000000A0000";
    QTest::newRow("delete, empty book") << QByteArray() << 0 << "A" << "delete" << "" << "saved" << "" << "-1 000000A0000";
    QTest::newRow("delete first") << odd << 0 << "A" << "delete" << "<yes>" << "saved" << "Alpha Bravo" << "0 0A0B0C0D0E02";
    QTest::newRow("delete middle") << odd << 1 << "A" << "delete" << "<yes>" << "saved" << "Charlie Bravo" << "1 0A0B0C0D0E03";
    QTest::newRow("delete last") << odd << 2 << "A" << "delete" << "<yes>" << "saved" << "Charlie Alpha" << "1 0A0B0C0D0E02";
    QTest::newRow("delete the only one") << solo << 0 << "A" << "delete" << "<yes>" << "saved" << "" << "-1 0A0B0CA0E09";
    QTest::newRow("delete answered No") << odd << 0 << "A" << "delete" << "<no>" << "kept" << ThreeNames << "0 0A0B0CA0E01";
    QTest::newRow("comma in a MAC box") << odd << 0 << "1," << "add" << "New" << "refused" << ThreeNames << "0 0A0B0C1,0E01";
    QTest::newRow("line break in the name") << odd << 1 << "A" << "change" << "a\r\nb" << "refused" << ThreeNames << "1 0A0B0CA0E02";
    // clang-format on
}

void TestBookWindow::edit()
{
    QFETCH(QByteArray, file);
    QFETCH(int, chosen);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, answer);
    QFETCH(QString, outcome);
    QFETCH(QString, names);
    QFETCH(QString, shownAfter);
    WindowFixture f;
    loadBook(f, file);
    auto* combo = f.find<QComboBox>("computerCombo");
    for (int i = 0; i < chosen; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    f.edit("macEdit3")->setText(typed);
    if (answer == "<yes>")
        f.dialogs.answerYes();
    else if (!answer.startsWith(u'<'))
        f.dialogs.answerText(answer);
    f.click(button + "Button");

    // The box asked first, its default text, and a warning after it when refused.
    QStringList asked;
    for (const ScriptedDialogs::Asked& box : f.dialogs.asked())
        asked << QString::number(int(box.kind)) + u':' + box.text + u'|' + box.title + u'|' + box.defaultText;
    QStringList expected;
    const QString current = button == "change" ? ThreeNames.section(u' ', chosen, chosen) : QString();
    if (!answer.isEmpty())
        expected << (button == "delete" ? QStringLiteral("1:リストから削除しますか？|確認|")
                                        : QStringLiteral("0:名前を入力して下さい|Tarnel!|") + current);
    if (outcome == "refused")
        expected << QStringLiteral("2:名前、送信先ホスト、MACアドレス、アラーム設定には「,」(カンマ) や改行を使えません。|Tarnel!|");
    QCOMPARE(asked, expected);
    QCOMPARE(rows(f), names);
    QCOMPARE(QString::number(combo->currentIndex()) + u' ' + f.mac(), shownAfter);
    QCOMPARE(QFileInfo(f.path(ListFile)).lastModified() != LongAgo, outcome == "saved");
    QCOMPARE(outcome == "saved" ? fileNames(f) : QString::fromUtf8(f.readFile(ListFile)),
             outcome == "saved" ? names : QString::fromUtf8(file));
}

void TestBookWindow::choosingFillsTheBoxes()
{
    WindowFixture f;
    loadBook(f, ThreeEntries, true);
    auto* combo = f.find<QComboBox>("computerCombo");
    LimitedLineEdit* host = f.edit("hostEdit");
    QCOMPARE(host->text() + u' ' + f.edit("alarmEdit0")->text(), QStringLiteral("10.0.0.1 07:30"));
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(host->text() + u' ' + f.mac(), QStringLiteral("10.0.0.2 0A0B0C0D0E02"));
    // The wheel over the list chooses only while the list has the focus.
    QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    host->setFocus();
    host->setText(QStringLiteral("typed"));
    QCoreApplication::sendEvent(combo, &wheel);
    QCOMPARE(QString::number(combo->currentIndex()) + u' ' + host->text(), QStringLiteral("1 typed"));
    combo->setFocus();
    QCoreApplication::sendEvent(combo, &wheel);
    QCOMPARE(host->text(), QStringLiteral("10.0.0.3"));
}

void TestBookWindow::saveProblemsAreSaid()
{
    const QByteArray rest = bookLine("", "0A0B0C0D0E01");
    const QByteArray file = "\x93\x8C\x8B\x9E" + rest + "\x83\x54\x81\x5B\x83\x6F" + rest; // 東京, サーバ in code page 932
    const QByteArray saved = QByteArray("東京") + rest + "サーバ" + rest;
    WindowFixture f;
    loadBook(f, file);
    QCOMPARE(rows(f), QStringLiteral("東京 サーバ"));
    // The original is copied aside, and that said, before the first save only.
    f.click("addButton"); // cancelled, and saved all the same
    f.click("addButton");
    QCOMPARE(f.dialogs.askedTexts().filter(QStringLiteral("「address.lst.bak」")).size(), 1);
    QCOMPARE(f.readFile(QStringLiteral("address.lst.bak")) + f.readFile(ListFile), file + saved);
    // A save that fails says so; the book keeps the edit and the file stays whole, with nothing beside it.
    f.dialogs.clear();
    f.dialogs.answerText(QStringLiteral("New"));
    {
        DiskFull full;
        f.click("addButton");
    }
    QCOMPARE(f.dialogs.asked().size(), 2);
    QVERIFY(f.dialogs.asked()[1].kind == ScriptedDialogs::Kind::Warn &&
            f.dialogs.asked()[1].text.startsWith(QStringLiteral("アドレス帳を保存できませんでした。\n")));
    QCOMPARE(rows(f), QStringLiteral("東京 サーバ New"));
    QCOMPARE(f.readFile(ListFile), saved);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), (QStringList{ListFile, "address.lst.bak"}));
}

void TestBookWindow::marksAndClear()
{
    WindowFixture f;
    loadBook(f, ThreeEntries);
    QAbstractItemModel* marks = f.find<QListView>("batchList")->model();
    QVERIFY(marks->setData(marks->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("0 2 0"));
    f.click("markAllButton");
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("2 2 2"));
    // The computer list shows the names without the marks.
    const QAbstractItemModel* names = f.find<QComboBox>("computerCombo")->model();
    QVERIFY(!names->index(0, 0).data(Qt::CheckStateRole).isValid());
    QVERIFY(!(names->flags(names->index(0, 0)) & Qt::ItemIsUserCheckable));
    // A computer added is unmarked; the others keep their marks.
    f.dialogs.answerText(QStringLiteral("New"));
    f.click("addButton");
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("2 2 2 0"));
    f.click("unmarkAllButton");
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("0 0 0 0"));

    // Clearing empties the alarm boxes only, and not the book.
    QTest::keyClick(f.find<QComboBox>("computerCombo"), Qt::Key_Home);
    f.click("clearAlarmsButton");
    for (int s = 0; s < 8; ++s)
        QCOMPARE(f.edit(QStringLiteral("alarmEdit%1").arg(s))->text(), QStringLiteral("__:__"));
    QCOMPARE(f.mac() + u' ' + f.window->addressBook().at(0).alarms[0], QStringLiteral("0A0B0C0D0E01 07:30"));
}

QTEST_MAIN(TestBookWindow)
#include "test_book_window.moc"
