// Keeping the address book from the window: choosing, adding, changing and
// deleting computers, marking them, and what the file holds afterwards.
#include "DiskFull.h"
#include "FileNodes.h"
#include "WindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListView>
#include <QSignalSpy>
#include <QWheelEvent>

namespace {

const QString ListFile = QStringLiteral("address.lst");
// Not in alphabetical order, so any sorting shows.
const QString ThreeNames = QStringLiteral("Charlie Alpha Bravo");
const QByteArray ThreeEntries = bookLine("Charlie", "0A0B0C0D0E01", "10.0.0.1", "07:30") +
                                bookLine("Alpha", "0A0B0C0D0E02", "10.0.0.2") +
                                bookLine("Bravo", "0A0B0C0D0E03", "10.0.0.3");

// One column of both lists, which must show the same rows: the names, or the marks (0 or 2).
QString rows(const WindowFixture& f, int role = Qt::DisplayRole)
{
    QStringList combo, list;
    const QAbstractItemModel* names = f.find<QComboBox>("computerCombo")->model();
    const QAbstractItemModel* marks = f.find<QListView>("batchList")->model();
    for (int i = 0; i < marks->rowCount(); ++i) {
        combo << names->index(i, 0).data().toString();
        list << marks->index(i, 0).data(role).toString();
    }
    return role != Qt::DisplayRole || combo == list ? list.join(u' ')
                                                    : QStringLiteral("lists differ: ") + combo.join(u' ');
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
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("answer");  // a name, <yes>, <no> or <cancel>; empty: no box is shown
    QTest::addColumn<QString>("outcome"); // the file "saved" or "kept"; "refused" warns too
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("shownAfter"); // the choice and the MAC boxes; macEdit3 was given "A"
    // Lone LF line ends and a twelfth field, neither of which survives a rewrite.
    const QByteArray odd = QByteArray(ThreeEntries).replace("\r\n", ",x\n");
    const QByteArray solo = bookLine("Solo", "0A0B0C0D0E09");
    // clang-format off
    QTest::newRow("add") << odd << 0 << "add" << "New" << "saved" << ThreeNames + " New" << "3 0A0B0CA 0E01";
    QTest::newRow("add cancelled, saved") << odd << 0 << "add" << "<cancel>" << "saved" << ThreeNames << "0 0A0B0CA0E01";
    QTest::newRow("change") << odd << 1 << "change" << "New" << "saved" << "Charlie New Bravo" << "1 0A0B0CA0E02";
    QTest::newRow("change cancelled") << odd << 1 << "change" << "<cancel>" << "kept" << ThreeNames << "1 0A0B0CA0E02";
    QTest::newRow("change, empty book") << QByteArray() << 0 << "change" << "" << "saved" << "" << "-1 000000A0000";
    QTest::newRow("delete, empty book") << QByteArray() << 0 << "delete" << "" << "saved" << "" << "-1 000000A0000";
    QTest::newRow("delete middle") << odd << 1 << "delete" << "<yes>" << "saved" << "Charlie Bravo" << "1 0A0B0C0D0E03";
    QTest::newRow("delete last") << odd << 2 << "delete" << "<yes>" << "saved" << "Charlie Alpha" << "1 0A0B0C0D0E02";
    QTest::newRow("delete the only one") << solo << 0 << "delete" << "<yes>" << "saved" << "" << "-1 0A0B0CA0E09";
    QTest::newRow("delete answered No") << odd << 0 << "delete" << "<no>" << "kept" << ThreeNames << "0 0A0B0CA0E01";
    QTest::newRow("line break in the name") << odd << 1 << "change" << "a\r\nb" << "refused" << ThreeNames << "1 0A0B0CA0E02";
    // clang-format on
}

void TestBookWindow::edit()
{
    QFETCH(QByteArray, file);
    QFETCH(int, chosen);
    QFETCH(QString, button);
    QFETCH(QString, answer);
    QFETCH(QString, outcome);
    QFETCH(QString, names);
    QFETCH(QString, shownAfter);
    WindowFixture f;
    f.writeFile(ListFile, file);
    f.load();
    QFile::remove(f.path(ListFile)); // so that a rewrite shows, even of the same bytes
    auto* combo = f.find<QComboBox>("computerCombo");
    for (int i = 0; i < chosen; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    f.edit("macEdit3")->setText(QStringLiteral("A"));
    if (answer == "<yes>")
        f.dialogs.answerYes();
    else if (!answer.startsWith(u'<'))
        f.dialogs.answerText(answer);
    f.click(button + "Button");

    QStringList asked; // the box asked first with its default text, and a warning after it when refused
    for (const ScriptedDialogs::Asked& box : f.dialogs.asked())
        asked << QString::number(int(box.kind)) + u':' + box.text + u'|' + box.title + u'|' + box.defaultText;
    QStringList expected;
    if (!answer.isEmpty())
        expected << (button == "delete"
                         ? QStringLiteral("1:リストから削除しますか？|確認|")
                         : QStringLiteral("0:名前を入力して下さい|Tarnel!|") +
                               (button == "change" ? ThreeNames.section(u' ', chosen, chosen) : QString()));
    if (outcome == "refused")
        expected << QStringLiteral(
            "2:名前、送信先ホスト、MACアドレス、アラーム設定には「,」(カンマ) や改行を使えません。|Tarnel!|");
    QCOMPARE(asked, expected);
    QCOMPARE(rows(f), names);
    QCOMPARE(QString::number(combo->currentIndex()) + u' ' + f.mac(), shownAfter);
    // A saved file holds the whole book, eleven fields a line, each line ending in CR LF.
    QStringList saved;
    for (const QString& line :
         QString::fromUtf8(f.readFile(ListFile)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        saved << (line.count(u',') == 10 && !line.contains(u'\n') ? line.section(u',', 0, 0) : QStringLiteral("bad"));
    QCOMPARE(QFileInfo::exists(f.path(ListFile)) ? saved.join(u' ') : QStringLiteral("not saved"),
             outcome == "saved" ? names : QStringLiteral("not saved"));
}

void TestBookWindow::choosingFillsTheBoxes()
{
    WindowFixture f;
    f.load(ThreeEntries, true);
    auto* combo = f.find<QComboBox>("computerCombo");
    LimitedLineEdit* host = f.edit("hostEdit");
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(host->text() + u' ' + f.edit("alarmEdit0")->text(), QStringLiteral("10.0.0.2 __:__"));
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
    const QByteArray file =
        "\x93\x8C\x8B\x9E" + rest + "\x83\x54\x81\x5B\x83\x6F" + rest; // 東京, サーバ in code page 932
    const QByteArray saved = QByteArray("東京") + rest + "サーバ" + rest;
    WindowFixture f;
    f.load(file);
    QCOMPARE(rows(f), QStringLiteral("東京 サーバ"));
    // The original is copied aside, and that said, before the first save only.
    f.click("addButton"); // cancelled, and saved all the same
    f.click("addButton");
    QCOMPARE(
        f.dialogs.askedTexts().filter(QStringLiteral("「address.lst.bak」")),
        QStringList(QStringLiteral("アドレス帳ファイルをShift-JISとして読み込みました。これからはUTF-8で保存するため、"
                                   "元のファイルを「address.lst.bak」として残しました。")));
    QCOMPARE(f.readFile(QStringLiteral("address.lst.bak")) + f.readFile(ListFile), file + saved);
    // A save that fails says so; the book keeps the edit and the file stays whole, with nothing beside it.
    f.dialogs.clear();
    f.dialogs.answerText(QStringLiteral("New"));
    {
        DiskFull full;
        f.click("addButton");
    }
    QCOMPARE(f.dialogs.askedTexts().value(1),
             QStringLiteral("アドレス帳を「%1」に保存できませんでした。\n原因：ファイルが大きすぎます")
                 .arg(f.path(ListFile)));
    QCOMPARE(rows(f), QStringLiteral("東京 サーバ New"));
    QCOMPARE(f.readFile(ListFile), saved);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), (QStringList{ListFile, "address.lst.bak"}));

    // A FIFO under the file's name is said once at start-up, and each save is refused by name; the book
    // lives on in memory.
    WindowFixture fifo;
    QVERIFY(fileNodes::makeFifo(fifo.path(ListFile)));
    fifo.load();
    const QString notAFile = QStringLiteral("「%1」は通常のファイルではないため、").arg(fifo.path(ListFile));
    QCOMPARE(fifo.dialogs.askedTexts(),
             QStringList(notAFile + QStringLiteral("アドレス帳を読み込めません。"
                                                   "編集はできますが、このファイルには保存しません。")));
    fifo.dialogs.clear();
    fifo.dialogs.answerText(QStringLiteral("New"));
    fifo.click("addButton");
    QCOMPARE(fifo.dialogs.askedTexts().value(1), notAFile + QStringLiteral("アドレス帳を保存できませんでした。"));
    QCOMPARE(rows(fifo), QStringLiteral("New"));
    QVERIFY(S_ISFIFO(fileNodes::statusOf(fifo.path(ListFile)).st_mode));
}

void TestBookWindow::marksAndClear()
{
    WindowFixture f;
    f.load(ThreeEntries);
    auto* list = f.find<QListView>("batchList");
    QAbstractItemModel* marks = list->model();
    QSignalSpy repaint(marks, &QAbstractItemModel::dataChanged);
    // A click on the name or on the box toggles the row's mark, a double click once; Space toggles the current
    // row. Nothing else shows as chosen.
    const auto at = [&](int row, bool box) {
        const QRect rect = list->visualRect(marks->index(row, 0));
        return box ? QPoint(rect.left() + 8, rect.center().y()) : rect.center();
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(1, false));
    QCOMPARE(repaint.count(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(0, true));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(2, false)); // a double click, as a user makes it
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at(2, false));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at(2, false));
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("2 2 2"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(2, false));
    QTest::keyClick(list, Qt::Key_Space); // the row clicked last is the current one
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(0, false));
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("0 2 2"));
    QVERIFY(!list->selectionModel()->hasSelection());
    f.click("unmarkAllButton");
    QVERIFY(marks->setData(marks->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("0 2 0"));
    f.click("markAllButton");
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("2 2 2"));
    // The computer list shows the names without the marks.
    const QAbstractItemModel* names = f.find<QComboBox>("computerCombo")->model();
    QVERIFY(!names->index(0, 0).data(Qt::CheckStateRole).isValid() &&
            !(names->flags(names->index(0, 0)) & Qt::ItemIsUserCheckable));
    // A computer added is unmarked; the others keep their marks.
    f.dialogs.answerText(QStringLiteral("New"));
    f.click("addButton");
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("2 2 2 0"));
    f.click("unmarkAllButton");
    QCOMPARE(rows(f, Qt::CheckStateRole), QStringLiteral("0 0 0 0"));
    // Clearing empties the alarm boxes only, and not the book.
    QTest::keyClick(f.find<QComboBox>("computerCombo"), Qt::Key_Home);
    f.click("clearAlarmsButton");
    QString alarms;
    for (int s = 0; s < 8; ++s)
        alarms += f.edit(QStringLiteral("alarmEdit%1").arg(s))->text();
    QCOMPARE(alarms, QStringLiteral("__:__").repeated(8));
    QCOMPARE(f.mac() + u' ' + f.window->addressBook().at(0).alarms[0], QStringLiteral("0A0B0C0D0E01 07:30"));
}

QTEST_MAIN(TestBookWindow)
#include "test_book_window.moc"
