// Starting and ending the program: the settings file read at start-up and
// written at shutdown, the single copy, the close box and "閉じる".
#include "DiskFull.h"
#include "WindowFixture.h"
#include "app/SingleInstance.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QTimer>

class TestStartupWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUp();
    void formLayout();
    void settingsAtStartUp_data();
    void settingsAtStartUp();
    void settingsSavedOnceAtShutdown();
    void failedSaveStillEnds_data();
    void failedSaveStillEnds();
    void hideMinimisesWithoutTray();
    void secondInstanceRefused();
};

void TestStartupWindow::startUp()
{
    WindowFixture f;
    f.load();
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tarnel! - Wake On Lan"));
    QCOMPARE(f.window->size(), QSize(408, 510));
    QCOMPARE(f.find<QLabel>("versionLabel")->text(), QStringLiteral("Version 1.2"));
    QCOMPARE(f.find<QLabel>("batchHeading")->text(), QStringLiteral("コンピュータ選択\r\n\r\n\u3000(複数選択可)"));
    QCOMPARE(f.edit("hostEdit")->text() + u' ' + f.mac(), QStringLiteral("255.255.255.255 000000000000"));
    // No notification area here: the window is shown so it can always be reached,
    // in the middle of the screen.
    QVERIFY(f.window->isVisible());
    const QPoint offCentre = f.window->frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 4, qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
}

// Every widget's place, font, colours and caption, and the Tab order, against
// tests/app/form_layout.txt: the window's look must not change unnoticed.
// TARNEL_UPDATE_LAYOUT=1 writes the file anew after a change made on purpose.
void TestStartupWindow::formLayout()
{
    WindowFixture f;
    f.load();
    QStringList lines;
    for (const QWidget* w : f.window->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(u"qt_"))
            continue;
        const QRect g = w->geometry();
        QString text;
        if (auto* label = qobject_cast<const QLabel*>(w))
            text = label->text();
        else if (auto* button = qobject_cast<const QAbstractButton*>(w))
            text = button->text();
        else if (auto* edit = qobject_cast<const QLineEdit*>(w))
            text = edit->text();
        // Widgets left with the platform's font are not pinned to one.
        const QFont font = w->font();
        const QString fontText = font.pixelSize() > 0 ? QStringLiteral("%1px%2 %3")
                                                            .arg(font.pixelSize())
                                                            .arg(font.bold() ? QStringLiteral(" bold") : QString())
                                                            .arg(font.family())
                                                      : QStringLiteral("default font");
        lines << QStringLiteral("%1 %2,%3 %4x%5 %6 %7 [%8]")
                     .arg(w->objectName())
                     .arg(g.x())
                     .arg(g.y())
                     .arg(g.width())
                     .arg(g.height())
                     .arg(fontText, w->styleSheet(), text.replace(u'\n', u'|').replace(u'\r', u'|'));
    }
    lines.sort();
    QStringList tabs;
    QWidget* w = f.find("computerCombo");
    do {
        if (w->focusPolicy() != Qt::NoFocus)
            tabs << w->objectName();
        w = w->nextInFocusChain();
    } while (w != f.find("computerCombo"));
    lines << QStringLiteral("tab order: ") + tabs.join(u' ');
    const QByteArray got = lines.join(u'\n').toUtf8() + '\n';
    QFile reference(QStringLiteral(QT_TESTCASE_SOURCEDIR "/form_layout.txt"));
    if (qEnvironmentVariableIsSet("TARNEL_UPDATE_LAYOUT") && reference.open(QIODevice::WriteOnly))
        reference.write(got);
    else if (reference.open(QIODevice::ReadOnly))
        QCOMPARE(QString::fromUtf8(got), QString::fromUtf8(reference.readAll()));
    else
        QFAIL("tests/app/form_layout.txt is missing");
}

void TestStartupWindow::settingsAtStartUp_data()
{
    QTest::addColumn<QByteArray>("file"); // "-" for no file
    QTest::addColumn<QString>("shown");   // port, repeat count, start-in-tray ticked
    QTest::newRow("no file") << QByteArray("-") << "9001 1 1";
    QTest::newRow("all three") << QByteArray("\"2000\",\"3\",0\r\n") << "2000 3 0";
    QTest::newRow("out of range") << QByteArray("\"1024\",\"0\",2\r\n") << "9001 1 1";
    QTest::newRow("a directory") << QByteArray("/") << "9001 1 1";
}

void TestStartupWindow::settingsAtStartUp()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, shown);
    WindowFixture f;
    if (file == "/")
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("tarnel.ini")));
    else if (file != "-")
        f.writeFile("tarnel.ini", file);
    f.load();
    QCOMPARE(QStringList({f.edit("portEdit")->text(), f.edit("repeatEdit")->text(),
                          QString::number(f.find<QCheckBox>("startInTrayCheck")->isChecked())})
                 .join(u' '),
             shown);
}

void TestStartupWindow::settingsSavedOnceAtShutdown()
{
    WindowFixture f;
    f.load();
    f.edit("portEdit")->clear();
    f.find<QCheckBox>("startInTrayCheck")->setChecked(false);
    // The window system's close request, as the close box sends it, ends the event loop.
    QTimer::singleShot(0, f.window.get(), [&f] { f.window->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 0);
    // An empty port is written as it is and rejected at the next start.
    QCOMPARE(f.readFile("tarnel.ini"), QByteArray("\"\",\"1\",0\r\n"));
    // The steps run once, whatever else asks for them afterwards.
    f.edit("portEdit")->setText(QStringLiteral("3000"));
    f.window->shutdown();
    QCOMPARE(f.readFile("tarnel.ini"), QByteArray("\"\",\"1\",0\r\n"));
    f.load();
    QCOMPARE(f.edit("portEdit")->text(), QStringLiteral("9001"));
    QVERIFY(!f.find<QCheckBox>("startInTrayCheck")->isChecked());
}

void TestStartupWindow::failedSaveStillEnds_data()
{
    QTest::addColumn<bool>("directory"); // a folder where the file goes; else a full disk
    QTest::newRow("full disk") << false;
    QTest::newRow("a folder in the way") << true;
}

void TestStartupWindow::failedSaveStillEnds()
{
    QFETCH(bool, directory);
    WindowFixture f;
    f.writeFile("tarnel.ini", "\"2000\",\"1\",0\r\n");
    f.load();
    f.edit("portEdit")->setText(QStringLiteral("3000"));
    if (directory) {
        QVERIFY(QFile::remove(f.path("tarnel.ini")));
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("tarnel.ini")));
    }
    {
        std::unique_ptr<DiskFull> full(directory ? nullptr : new DiskFull);
        QTimer::singleShot(0, f.window.get(), [&f] { f.click("quitButton"); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
    // The old file, or the folder, stays as it was, with nothing left beside it.
    if (directory)
        QVERIFY(QFileInfo(f.path("tarnel.ini")).isDir());
    else
        QCOMPARE(f.readFile("tarnel.ini"), QByteArray("\"2000\",\"1\",0\r\n"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"tarnel.ini"});
}

void TestStartupWindow::hideMinimisesWithoutTray()
{
    WindowFixture f;
    f.load();
    QVERIFY(!f.window->trayIconShown());
    QCOMPARE(f.window->windowType(), Qt::Window); // keeps its taskbar button
    f.click("hideButton");
    QTRY_VERIFY(f.window->isMinimized());
    QVERIFY(f.window->isVisible());
}

void TestStartupWindow::secondInstanceRefused()
{
    QTemporaryDir dir;
    const QString lock = dir.filePath(QStringLiteral("tarnel.lock"));
    QProcess first;
    first.start(QStringLiteral(LOCK_HOLDER), {lock});
    QVERIFY(first.waitForReadyRead(10000));
    QVERIFY(!SingleInstance(lock).acquire());
    first.kill(); // killed, not ended: the lock file stays behind, and no longer counts
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(QFile::exists(lock));
    QVERIFY(SingleInstance(lock).acquire());
}

QTEST_MAIN(TestStartupWindow)
#include "test_startup_window.moc"
