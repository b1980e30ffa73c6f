// Starting and ending the program: the window as it first shows, the settings
// file read at start-up and written at shutdown, the single copy, the close
// box and "閉じる".
#include "DiskFull.h"
#include "WindowFixture.h"
#include "app/SingleInstance.h"

#include <QCheckBox>
#include <QDir>
#include <QScreen>
#include <QTimer>

namespace {

// Runs the event loop until the window ends the program (or 5 s pass).
int runUntilQuit(const std::function<void()>& action)
{
    QTimer::singleShot(0, qApp, action);
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
    return QCoreApplication::exec();
}

} // namespace

class TestStartupWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formLayout();
    void settingsSavedOnceAtShutdown();
    void failedSaveStillEnds_data();
    void failedSaveStillEnds();
    void hideMinimisesWithoutTray();
    void secondInstanceRefused();
};

// The window as it first shows, every widget's place, font, colours and text,
// and the Tab order, against tests/app/form_layout.txt: the window's look must
// not change unnoticed. TARNEL_UPDATE_LAYOUT=1 writes the file anew after a
// change made on purpose.
void TestStartupWindow::formLayout()
{
    WindowFixture f;
    f.load();
    // No notification area here: the window is shown so it can always be reached, mid-screen.
    const QPoint offCentre = f.window->frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
    QVERIFY(f.window->isVisible() && offCentre.manhattanLength() <= 4);
    QStringList lines = {f.window->windowTitle() + QStringLiteral(" %1x%2").arg(f.window->width()).arg(f.window->height())};
    for (const QWidget* w : f.window->findChildren<QWidget*>()) {
        const QRect g = w->geometry();
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"))
            lines << QStringLiteral("%1 %2,%3 %4x%5 %6 %7 [%8]")
                         .arg(w->objectName())
                         .arg(g.x())
                         .arg(g.y())
                         .arg(g.width())
                         .arg(g.height())
                         .arg(w->font().toString(), w->styleSheet(), w->property("text").toString().replace(u'\n', u'|'));
    }
    lines.sort();
    QString tabs = QStringLiteral("tab order:");
    for (QWidget* w = f.find("computerCombo"); tabs.count(u' ') < 32; w = w->nextInFocusChain())
        tabs += w->focusPolicy() != Qt::NoFocus ? u' ' + w->objectName() : QString();
    lines << tabs;
    const QString got = lines.join(u'\n') + u'\n';
    QFile reference(QStringLiteral(QT_TESTCASE_SOURCEDIR "/form_layout.txt"));
    if (qEnvironmentVariableIsSet("TARNEL_UPDATE_LAYOUT") && reference.open(QIODevice::WriteOnly))
        reference.write(got.toUtf8());
    else
        QCOMPARE(got, reference.open(QIODevice::ReadOnly) ? QString::fromUtf8(reference.readAll()) : QString());
}

void TestStartupWindow::settingsSavedOnceAtShutdown()
{
    WindowFixture f;
    f.load();
    f.edit("portEdit")->clear();
    f.find<QCheckBox>("startInTrayCheck")->setChecked(false);
    // The window system's close request, as the close box sends it, ends the program.
    QCOMPARE(runUntilQuit([&f] { f.window->close(); }), 0);
    // An empty port is written as it is and rejected at the next start.
    QCOMPARE(f.readFile("tarnel.ini"), QByteArray("\"\",\"1\",0\r\n"));
    // The steps run once, whatever else asks for them afterwards.
    f.edit("portEdit")->setText(QStringLiteral("3000"));
    f.window->shutdown();
    QCOMPARE(f.readFile("tarnel.ini"), QByteArray("\"\",\"1\",0\r\n"));
    f.load();
    QCOMPARE(f.edit("portEdit")->text() + u' ' + QString::number(f.find<QCheckBox>("startInTrayCheck")->isChecked()),
             QStringLiteral("9001 0"));
}

void TestStartupWindow::failedSaveStillEnds_data()
{
    QTest::addColumn<bool>("folder"); // a folder where the file goes; else a full disk
    QTest::newRow("full disk") << false;
    QTest::newRow("a folder in the way") << true;
}

void TestStartupWindow::failedSaveStillEnds()
{
    QFETCH(bool, folder);
    WindowFixture f;
    f.writeFile("tarnel.ini", "\"2000\",\"1\",0\r\n");
    f.load();
    f.edit("portEdit")->setText(QStringLiteral("3000"));
    if (folder)
        QVERIFY(QFile::remove(f.path("tarnel.ini")) && QDir(f.dir.path()).mkdir(QStringLiteral("tarnel.ini")));
    {
        std::unique_ptr<DiskFull> full(folder ? nullptr : new DiskFull);
        QCOMPARE(runUntilQuit([&f] { f.click("quitButton"); }), 0);
    }
    // The old file, or the folder, stays as it was, with nothing left beside it.
    QCOMPARE(folder ? QFileInfo(f.path("tarnel.ini")).isDir() : f.readFile("tarnel.ini") == "\"2000\",\"1\",0\r\n", true);
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
    {
        SingleInstance first(lock);
        QVERIFY(first.acquire());
        QVERIFY(!SingleInstance(lock).acquire());
    }
    // The lock file stays behind when its holder ends, and no longer counts.
    QVERIFY(QFile::exists(lock));
    QVERIFY(SingleInstance(lock).acquire());
}

QTEST_MAIN(TestStartupWindow)
#include "test_startup_window.moc"
