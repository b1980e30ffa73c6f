#include "app/Dialogs.h"
#include "DiskFull.h"
#include "app/FieldEdit.h"
#include "app/SingleInstance.h"
#include "TarnelFixture.h"
#include "UdpReceiver.h"
#include "WindowTestRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace {

QByteArray expectedPacket(const QByteArray& address)
{
    QByteArray packet(6, char(0xFF));
    for (int i = 0; i < 16; ++i)
        packet += address;
    return packet;
}

void setMac(Tarnel& w, const QStringList& bytes)
{
    for (int j = 0; j < 6; ++j)
        w.Text1[j]->setText(bytes.value(j));
}

} // namespace

class TestApp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freshWindow();
    void typingLimits();
    void singleSendOnLoopback_data();
    void singleSendOnLoopback();
    void singleSendFailures_data();
    void singleSendFailures();
    void failureNumber126CountsAsSuccess();
    void closeBoxEndsAfterShutdownSteps();
    void closeButtonMinimisesWithoutTray();
    void secondInstanceRefused();
    void settingsAtStartUp_data();
    void settingsAtStartUp();
    void settingsSavedAtShutdown();
    void failedSaveStillEnds();
};

void TestApp::freshWindow()
{
    TarnelFixture f;
    Tarnel w(f.services);
    QCOMPARE(w.host->text(), QStringLiteral("255.255.255.255"));
    for (FieldEdit* box : w.Text1)
        QCOMPARE(box->text(), QStringLiteral("00"));
    for (FieldEdit* box : w.Text2)
        QCOMPARE(box->text(), QStringLiteral("__:__"));
    QCOMPARE(w.PortNo->text(), QStringLiteral("9001"));
    QCOMPARE(w.Text3->text(), QStringLiteral("1"));
    QVERIFY(w.Check1->isChecked());
    QVERIFY(w.Msg->text().isEmpty());
    QCOMPARE(w.NowStr->text(), QStringLiteral("Now"));
    QCOMPARE(w.Combo1->count(), 0);
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.Label1[0]->text(), QStringLiteral(" コンピュータ選択"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Tarnel! - Wake On Lan"));
    QCOMPARE(w.size(), QSize(408, 510));

    Tarnel& loaded = f.load();
    QCOMPARE(loaded.Label1[0]->text(), QStringLiteral("コンピュータ選択\r\n\r\n\u3000(複数選択可)"));
    // No notification area here: the window is shown so it can always be reached.
    QVERIFY(loaded.isVisible());
}

void TestApp::typingLimits()
{
    TarnelFixture f;
    Tarnel& w = f.load();
    struct Case {
        FieldEdit* box;
        int limit;
    };
    for (const Case& c :
         {Case{w.host, 15}, Case{w.Text1[0], 2}, Case{w.Text2[3], 5}, Case{w.PortNo, 4}, Case{w.Text3, 1}}) {
        c.box->clear();
        c.box->setFocus();
        QTest::keyClicks(c.box, QStringLiteral("12345678901234567890"));
        QCOMPARE(c.box->text().size(), c.limit);
    }
    // A text set by code is shown whole; typing more is refused, deleting is not.
    w.host->setText(QStringLiteral("a-very-long-host-name.example"));
    QCOMPARE(w.host->text(), QStringLiteral("a-very-long-host-name.example"));
    w.host->setFocus();
    w.host->end(false);
    QTest::keyClicks(w.host, QStringLiteral("x"));
    QCOMPARE(w.host->text(), QStringLiteral("a-very-long-host-name.example"));
    QTest::keyClick(w.host, Qt::Key_Backspace);
    QCOMPARE(w.host->text(), QStringLiteral("a-very-long-host-name.exampl"));
    w.PortNo->setText(QStringLiteral("1025.5"));
    QCOMPARE(w.PortNo->text(), QStringLiteral("1025.5"));
    // Selected text makes room: typing over a selection is allowed.
    w.Text1[1]->setFocus();
    w.Text1[1]->selectAll();
    QTest::keyClicks(w.Text1[1], QStringLiteral("FF"));
    QCOMPARE(w.Text1[1]->text(), QStringLiteral("FF"));
}

void TestApp::singleSendOnLoopback_data()
{
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<int>("datagrams");
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("three") << "3" << 3;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("letter") << "x" << 1;
}

void TestApp::singleSendOnLoopback()
{
    QFETCH(QString, repeat);
    QFETCH(int, datagrams);
    UdpReceiver receiver;
    TarnelFixture f(true);
    Tarnel& w = f.load();
    setMac(w, {QStringLiteral("00"), QStringLiteral("11"), QStringLiteral("22"), QStringLiteral("33"),
               QStringLiteral("44"), QStringLiteral("AB")});
    w.host->setText(QStringLiteral("127.0.0.1"));
    w.PortNo->setText(QString::number(receiver.port()));
    w.Text3->setText(repeat);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(w.Msg->text(), QStringLiteral("OK"));
    const QList<QByteArray> got = receiver.drain();
    QCOMPARE(got.size(), datagrams);
    for (const QByteArray& datagram : got)
        QCOMPARE(datagram, expectedPacket(QByteArray::fromHex("0011223344AB")));
}

void TestApp::singleSendFailures_data()
{
    QTest::addColumn<int>("emptyByte");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("status");
    QTest::newRow("empty Text1(4)") << 4 << ""
                                    << "ERROR:1000013";
    QTest::newRow("empty port") << -1 << ""
                                << "ERROR:1000013";
    QTest::newRow("negative port") << -1 << "-1"
                                   << "ERROR:10049";
    QTest::newRow("port over 16 bits") << -1 << "99999"
                                       << "ERROR:1000006";
}

void TestApp::singleSendFailures()
{
    QFETCH(int, emptyByte);
    QFETCH(QString, port);
    QFETCH(QString, status);
    UdpReceiver receiver;
    TarnelFixture f(true);
    Tarnel& w = f.load();
    w.host->setText(QStringLiteral("127.0.0.1"));
    w.PortNo->setText(emptyByte >= 0 ? QString::number(receiver.port()) : port);
    if (emptyByte >= 0)
        w.Text1[emptyByte]->clear();
    w.Command1_Click();
    QCOMPARE(w.Msg->text(), status);
    QVERIFY(!w.Msg->toolTip().isEmpty()); // says in words what went wrong
    QVERIFY(receiver.drain(30).isEmpty());
    QCOMPARE(w.PortNo->text(), emptyByte >= 0 ? QString::number(receiver.port()) : port);

    // The next success clears the explanation.
    w.Text1[qMax(emptyByte, 0)]->setText(QStringLiteral("00"));
    w.PortNo->setText(QString::number(receiver.port()));
    w.Command1_Click();
    QCOMPARE(w.Msg->text(), QStringLiteral("OK"));
    QVERIFY(w.Msg->toolTip().isEmpty());
}

void TestApp::failureNumber126CountsAsSuccess()
{
    TarnelFixture f;
    Tarnel& w = f.load();
    w.Text3->setText(QStringLiteral("5"));
    f.sender.failAt(2, 126);
    w.Command1_Click();
    QCOMPARE(w.Msg->text(), QStringLiteral("OK"));
    QCOMPARE(f.sender.sent().size(), 1);
    QCOMPARE(f.sender.sent().first().host, QStringLiteral("255.255.255.255"));
    QCOMPARE(f.sender.sent().first().port, 9001);

    f.sender.clear();
    f.sender.failAt(1, 10051);
    w.Command1_Click();
    QCOMPARE(w.Msg->text(), QStringLiteral("ERROR:10051"));
}

void TestApp::closeBoxEndsAfterShutdownSteps()
{
    TarnelFixture f;
    Tarnel& w = f.load();
    w.PortNo->setText(QStringLiteral("2000"));
    w.Check1->setChecked(false);
    // The window system's close request, as the close box sends it, must end the event loop.
    QTimer::singleShot(0, &w, [&w] { w.close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(f.readFile(QStringLiteral("tarnel.ini")), QByteArray("\"2000\",\"1\",0\r\n"));
    // The steps run once, whatever else asks for them afterwards.
    w.PortNo->setText(QStringLiteral("3000"));
    w.Form_Unload();
    QCOMPARE(f.readFile(QStringLiteral("tarnel.ini")), QByteArray("\"2000\",\"1\",0\r\n"));
}

void TestApp::closeButtonMinimisesWithoutTray()
{
    TarnelFixture f;
    Tarnel& w = f.load();
    QVERIFY(!w.trayIconShown());
    QCOMPARE(w.windowType(), Qt::Window); // keeps its taskbar button
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    QTRY_VERIFY(w.isMinimized());
    QVERIFY(w.isVisible());
}

void TestApp::secondInstanceRefused()
{
    QTemporaryDir dir;
    const QString lock = dir.filePath(QStringLiteral("tarnel.lock"));
    QProcess first;
    first.start(QStringLiteral(LOCK_HOLDER), {lock});
    QVERIFY(first.waitForReadyRead(10000));
    {
        SingleInstance second(lock);
        QVERIFY(!second.acquire());
    }
    first.kill(); // killed, not ended: the lock file stays behind
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(QFile::exists(lock));
    SingleInstance third(lock);
    QVERIFY(third.acquire());
}

void TestApp::settingsAtStartUp_data()
{
    QTest::addColumn<QByteArray>("file"); // "-" for no file
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("no file") << QByteArray("-") << "9001"
                             << "1" << true;
    QTest::newRow("port 80") << QByteArray("\"80\",\"1\",1\r\n") << "9001"
                             << "1" << true;
    QTest::newRow("port 1024") << QByteArray("\"1024\",\"1\",1\r\n") << "9001"
                               << "1" << true;
    QTest::newRow("port 1025") << QByteArray("\"1025\",\"1\",1\r\n") << "1025"
                               << "1" << true;
    QTest::newRow("port 9999") << QByteArray("\"9999\",\"1\",1\r\n") << "9999"
                               << "1" << true;
    QTest::newRow("port 10000") << QByteArray("\"10000\",\"1\",1\r\n") << "9001"
                                << "1" << true;
    QTest::newRow("port 09001") << QByteArray("\"09001\",\"1\",1\r\n") << "9001"
                                << "1" << true;
    QTest::newRow("repeat 9") << QByteArray("\"9001\",\"9\",1\r\n") << "9001"
                              << "9" << true;
    QTest::newRow("repeat 0") << QByteArray("\"9001\",\"0\",1\r\n") << "9001"
                              << "1" << true;
    QTest::newRow("third 0") << QByteArray("\"2000\",\"3\",0\r\n") << "2000"
                             << "3" << false;
    QTest::newRow("third 2") << QByteArray("\"9001\",\"1\",2\r\n") << "9001"
                             << "1" << true;
    QTest::newRow("third -1") << QByteArray("\"9001\",\"1\",-1\r\n") << "9001"
                              << "1" << true;
    QTest::newRow("third empty") << QByteArray("\"9001\",\"1\",\r\n") << "9001"
                                 << "1" << false;
    QTest::newRow("third a word") << QByteArray("\"9001\",\"1\",yes\r\n") << "9001"
                                  << "1" << false;
    QTest::newRow("empty file") << QByteArray("") << "9001"
                                << "1" << false;
    QTest::newRow("only the port") << QByteArray("\"2000\"\r\n") << "2000"
                                   << "1" << false;
    QTest::newRow("separate lines") << QByteArray("\"3000\"\r\n\"5\"\n1\n") << "3000"
                                    << "5" << true;
    QTest::newRow("comma in quotes") << QByteArray("\"4000,1\",\"2\",0\r\n") << "4000"
                                     << "2" << false;
    QTest::newRow("blanks before fields") << QByteArray("  \"4001\",  \"2\",  0\r\n") << "4001"
                                          << "2" << false;
}

void TestApp::settingsAtStartUp()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, port);
    QFETCH(QString, repeat);
    QFETCH(bool, ticked);
    TarnelFixture f;
    if (file != "-")
        f.writeFile(QStringLiteral("tarnel.ini"), file);
    Tarnel& w = f.load();
    QCOMPARE(w.PortNo->text(), port);
    QCOMPARE(w.Text3->text(), repeat);
    QCOMPARE(w.Check1->isChecked(), ticked);
}

void TestApp::settingsSavedAtShutdown()
{
    {
        TarnelFixture f;
        Tarnel& w = f.load();
        w.Command5_Click();
        QCOMPARE(f.readFile(QStringLiteral("tarnel.ini")), QByteArray("\"9001\",\"1\",1\r\n"));
    }
    // An empty port is written as it is and rejected at the next start.
    TarnelFixture f;
    Tarnel& w = f.load();
    w.PortNo->clear();
    w.Check1->setChecked(false);
    w.Form_Unload();
    QCOMPARE(f.readFile(QStringLiteral("tarnel.ini")), QByteArray("\"\",\"1\",0\r\n"));
    Tarnel next(f.services);
    next.Form_Load();
    QCOMPARE(next.PortNo->text(), QStringLiteral("9001"));
    QVERIFY(!next.Check1->isChecked());
}

void TestApp::failedSaveStillEnds()
{
    TarnelFixture f;
    f.writeFile(QStringLiteral("tarnel.ini"), "\"2000\",\"1\",0\r\n");
    Tarnel& w = f.load();
    w.PortNo->setText(QStringLiteral("3000"));
    {
        // A full disk mid-write: the old file stays whole and the program still ends.
        DiskFull full;
        QTimer::singleShot(0, &w, [&w] { w.Command5_Click(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
    QCOMPARE(f.readFile(QStringLiteral("tarnel.ini")), QByteArray("\"2000\",\"1\",0\r\n"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("tarnel.ini")});

    // A folder the user cannot write (not for root, who may write anywhere).
    TarnelFixture g;
    g.writeFile(QStringLiteral("tarnel.ini"), "\"2000\",\"1\",0\r\n");
    Tarnel& v = g.load();
    v.PortNo->setText(QStringLiteral("3000"));
    QFile::setPermissions(g.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    v.Form_Unload();
    QFile::setPermissions(g.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (::geteuid() != 0)
        QCOMPARE(g.readFile(QStringLiteral("tarnel.ini")), QByteArray("\"2000\",\"1\",0\r\n"));
}

#include "test_app.moc"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    int failed = 0;
    {
        TestApp test;
        failed += QTest::qExec(&test, argc, argv);
    }
    for (const auto& make : WindowTestRegistry::all()) {
        std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}
