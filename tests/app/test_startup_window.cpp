// Starting and ending the program: the window as it first shows, the settings
// file read at start-up and written at shutdown, the single copy, the close
// box and "閉じる".
#include "DiskFull.h"
#include "WindowFixture.h"
#include "app/Dialogs.h"
#include "app/FormStyle.h"
#include "app/SingleInstance.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

class TestStartupWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formLayout();
    void shutdown_data();
    void shutdown();
    void hideMinimisesWithoutTray();
    void secondInstanceRefused();
    void boxes();
    void readableInLightAndDark();
    void namedForScreenReaders();
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
    QStringList lines = {f.window->windowTitle() +
                         QStringLiteral(" %1x%2").arg(f.window->width()).arg(f.window->height())};
    for (const QWidget* w : f.window->findChildren<QWidget*>()) {
        const QRect g = w->geometry();
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"))
            lines << QStringLiteral("%1 %2,%3 %4x%5 %6 %7 [%8]")
                         .arg(w->objectName())
                         .arg(g.x())
                         .arg(g.y())
                         .arg(g.width())
                         .arg(g.height())
                         .arg(w->font().toString(), w->styleSheet(),
                              w->property("text").toString().replace(u'\n', u'|'));
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

void TestStartupWindow::shutdown_data()
{
    QTest::addColumn<QString>("how");      // the close box, or "終了" on a full disk or with a folder in the way
    QTest::addColumn<QByteArray>("after"); // tarnel.ini afterwards; "/" a folder
    QTest::addColumn<QString>("next");     // the port and start-in-tray choice at the next start
    QTest::newRow("close box") << "close" << QByteArray("\"\",\"1\",0\r\n") << "9001 0";
    QTest::newRow("full disk") << "full" << QByteArray("\"2000\",\"1\",0\r\n") << "2000 0";
    QTest::newRow("a folder in the way") << "folder" << QByteArray("/") << "9001 1";
}

void TestStartupWindow::shutdown()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, after);
    QFETCH(QString, next);
    WindowFixture f;
    f.writeFile("tarnel.ini", "\"2000\",\"1\",0\r\n");
    f.load();
    f.edit("portEdit")->clear(); // written as it is, and rejected at the next start
    if (how == "folder")
        QVERIFY(QFile::remove(f.path("tarnel.ini")) && QDir(f.dir.path()).mkdir(QStringLiteral("tarnel.ini")));
    {
        std::unique_ptr<DiskFull> full(how == "full" ? new DiskFull : nullptr);
        // The window system's close request, as the close box sends it, ends the program as "終了" does.
        QTimer::singleShot(0, qApp, [&] { how == "close" ? void(f.window->close()) : f.click("quitButton"); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
    // A save that fails leaves the old file, or the folder, as it was, with nothing beside it.
    const auto settings = [&f] { return QFileInfo(f.path("tarnel.ini")).isDir() ? "/" : f.readFile("tarnel.ini"); };
    QCOMPARE(settings(), after);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"tarnel.ini"});
    // The steps run once, whatever else asks for them afterwards.
    f.edit("portEdit")->setText(QStringLiteral("3000"));
    f.window->shutdown();
    QCOMPARE(settings(), after);
    f.load();
    QCOMPARE(f.edit("portEdit")->text() + u' ' + QString::number(f.find<QCheckBox>("startInTrayCheck")->isChecked()),
             next);
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

// The real boxes: their titles, icons and buttons, Escape and the default button.
void TestStartupWindow::boxes()
{
    QStringList seen;
    const auto answer = [&seen](Qt::Key key, const QString& typed = {}) {
        QTimer::singleShot(0, qApp, [&seen, key, typed] {
            QWidget* box = QApplication::activeModalWidget();
            auto* message = qobject_cast<QMessageBox*>(box);
            seen << box->windowTitle() + u'|' + (message ? QString::number(message->icon()) : QStringLiteral("input"));
            if (auto* edit = box->findChild<QLineEdit*>())
                edit->setText(typed);
            QTest::keyClick(box, key);
        });
    };
    WidgetDialogs dialogs;
    answer(Qt::Key_Return, QStringLiteral("typed"));
    QCOMPARE(dialogs.askText(nullptr, QStringLiteral("?"), QStringLiteral("default")), QStringLiteral("typed"));
    answer(Qt::Key_Escape, QStringLiteral("typed"));
    QCOMPARE(dialogs.askText(nullptr, QStringLiteral("?")), QString());
    answer(Qt::Key_Return);
    QVERIFY(!dialogs.confirm(nullptr, QStringLiteral("?"), QStringLiteral("確認"))); // No is the default
    answer(Qt::Key_Y, QString());
    QVERIFY(dialogs.confirm(nullptr, QStringLiteral("?"), QStringLiteral("確認")));
    answer(Qt::Key_Escape);
    dialogs.warn(nullptr, QStringLiteral("!"), QStringLiteral("Error"));
    answer(Qt::Key_Return);
    dialogs.inform(nullptr, QStringLiteral("!"));
    QCOMPARE(seen, (QStringList{"Tarnel!|input", "Tarnel!|input", "確認|0", "確認|0", "Error|2", "Tarnel!|0"}));
}

// Every text stands out from its background by 4.5:1 (WCAG AA) in a light
// and in a dark palette, from the start and after the desktop switches.
void TestStartupWindow::readableInLightAndDark()
{
    QPalette dark;
    for (const auto& [role, colour] : {std::pair{QPalette::Window, 0x353535},
                                       {QPalette::WindowText, 0xFFFFFF},
                                       {QPalette::Base, 0x232323},
                                       {QPalette::Text, 0xFFFFFF},
                                       {QPalette::Button, 0x353535},
                                       {QPalette::ButtonText, 0xFFFFFF}})
        dark.setColor(role, QColor(QRgb(colour)));
    const QPalette light = QApplication::style()->standardPalette();
    const auto unreadable = [](const WindowFixture& f) {
        QStringList found;
        QList<QWidget*> texts = f.window->findChildren<QWidget*>();
        texts << f.find<QComboBox>("computerCombo")->view(); // the list that drops down
        for (QWidget* widget : texts) {
            widget->ensurePolished();
            const QPalette& p = widget->palette();
            // A text that is coloured but not filled stands on the window's background.
            const bool onWindow = !widget->styleSheet().isEmpty() && !widget->styleSheet().contains(u"background");
            const QColor background =
                onWindow ? f.window->palette().color(QPalette::Window) : p.color(widget->backgroundRole());
            const double ratio = formstyle::contrastRatio(p.color(widget->foregroundRole()), background);
            if (ratio < formstyle::ReadableContrast)
                found << widget->objectName() + u' ' + QString::number(ratio, 'f', 1);
        }
        return found;
    };
    for (const auto& [first, then] : {std::pair{light, dark}, {dark, light}}) {
        QApplication::setPalette(first);
        WindowFixture f;
        f.load();
        QCOMPARE(unreadable(f), QStringList());
        QApplication::setPalette(then);
        QCoreApplication::processEvents(); // the change reaches the widgets as a posted event
        QCOMPARE(unreadable(f), QStringList());
    }
    QApplication::setPalette(light);
}

// Every control a screen reader can reach says what it is.
void TestStartupWindow::namedForScreenReaders()
{
    WindowFixture f;
    f.load();
    QStringList nameless;
    QList<QWidget*> controls = f.window->findChildren<QWidget*>();
    for (QWidget* widget : controls) {
        const bool reached = widget->focusPolicy() != Qt::NoFocus || widget == f.find("statusLabel");
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (reached && widget->isVisibleTo(f.window.get()) &&
            (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty()))
            nameless << widget->objectName();
    }
    QCOMPARE(nameless, QStringList());
    QCOMPARE(QAccessible::queryAccessibleInterface(f.find("alarmEdit1"))->text(QAccessible::Name),
             QStringLiteral("アラーム 日曜"));
}

QTEST_MAIN(TestStartupWindow)
#include "test_startup_window.moc"
