#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(SettingsValues)

namespace {

const SettingsValues Design;

SettingsValues values(const char* port, const char* repeat, bool startInTray)
{
    return SettingsValues{QString::fromUtf8(port), QString::fromUtf8(repeat), startInTray};
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readFields_data();
    void readFields();
    void load_data();
    void load();
    void noFileChangesNothing();
    void directoryCountsAsAbsent();
    void writtenBytes_data();
    void writtenBytes();
    void emptyPortIsRejectedAtNextLoad();
    void failedSaveKeepsOldFile();
};

void TestSettingsFile::readFields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("design line") << QByteArray("\"9001\",\"1\",1\r\n") << QStringList{"9001", "1", "1"};
    QTest::newRow("empty") << QByteArray() << QStringList{"", "", ""};
    QTest::newRow("only the port") << QByteArray("\"2000\"\r\n") << QStringList{"2000", "", ""};
    QTest::newRow("lines, CR LF") << QByteArray("\"2000\"\r\n\"3\"\r\n0\r\n") << QStringList{"2000", "3", "0"};
    QTest::newRow("lines, LF") << QByteArray("\"2000\"\n\"3\"\n0\n") << QStringList{"2000", "3", "0"};
    QTest::newRow("lines, CR") << QByteArray("2000\r3\r0") << QStringList{"2000", "3", "0"};
    QTest::newRow("bare lines, CR LF") << QByteArray("2000\r\n3\r\n0\r\n") << QStringList{"2000", "3", "0"};
    QTest::newRow("comma in quotes") << QByteArray("\"20,00\",\"3\",0\r\n") << QStringList{"20,00", "3", "0"};
    QTest::newRow("blanks before fields")
        << QByteArray("  \"2000\", \t\"3\",   0\r\n") << QStringList{"2000", "3", "0"};
    QTest::newRow("blanks inside quotes kept") << QByteArray("\" 2000 \",\"3\",0") << QStringList{" 2000 ", "3", "0"};
    // After the closing quote everything up to the delimiter is dropped.
    QTest::newRow("text after quote") << QByteArray("\"20\"00,\"3\"x,0") << QStringList{"20", "3", "0"};
    QTest::newRow("quote then line end") << QByteArray("\"20\" \r\n,\"3\"") << QStringList{"20", "", "3"};
    QTest::newRow("unclosed quote") << QByteArray("\"2000,3,0") << QStringList{"2000,3,0", "", ""};
    QTest::newRow("quote inside bare field") << QByteArray("20\"00,3,0") << QStringList{"20\"00", "3", "0"};
    QTest::newRow("empty fields") << QByteArray(",,0\r\n") << QStringList{"", "", "0"};
    QTest::newRow("line end first") << QByteArray("\r\n\"2000\",\"3\",0") << QStringList{"", "2000", "3"};
    QTest::newRow("no final line end") << QByteArray("\"2000\",\"3\",0") << QStringList{"2000", "3", "0"};
    QTest::newRow("trailing comma") << QByteArray("\"2000\",\"3\",") << QStringList{"2000", "3", ""};
    QTest::newRow("more than three") << QByteArray("1,2,3,4,5\r\n6\r\n") << QStringList{"1", "2", "3"};
    QTest::newRow("UTF-8 text") << QByteArray("\"ポート\",\"三\",0") << QStringList{"ポート", "三", "0"};
    QTest::newRow("NUL byte") << QByteArray("\"20\0"
                                            "00\",1,0",
                                            11)
                              << QStringList{QString::fromUtf8("20\0"
                                                               "00",
                                                               5),
                                             "1", "0"};
}

void TestSettingsFile::readFields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, fields);

    const SettingsFields read = ReadSettingsFields(bytes);
    QCOMPARE((QStringList{read.port, read.repeat, read.startInTray}), fields);
}

void TestSettingsFile::load_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SettingsValues>("expected");

    QTest::newRow("design line") << QByteArray("\"9001\",\"1\",1\r\n") << Design;
    QTest::newRow("port 80") << QByteArray("\"80\",\"1\",1\r\n") << Design;
    QTest::newRow("port 1024") << QByteArray("\"1024\",\"1\",1\r\n") << Design;
    QTest::newRow("port 1025") << QByteArray("\"1025\",\"1\",1\r\n") << values("1025", "1", true);
    QTest::newRow("port 9999") << QByteArray("\"9999\",\"1\",1\r\n") << values("9999", "1", true);
    QTest::newRow("port 10000") << QByteArray("\"10000\",\"1\",1\r\n") << Design;
    QTest::newRow("port 09001") << QByteArray("\"09001\",\"1\",1\r\n") << Design;
    QTest::newRow("port 09002") << QByteArray("\"09002\",\"1\",1\r\n") << values("9002", "1", true);
    QTest::newRow("port with blanks") << QByteArray("\" 2 000 \",\"1\",1\r\n") << values("2000", "1", true);
    QTest::newRow("port hex") << QByteArray("\"&H7D0\",\"1\",1\r\n") << values("2000", "1", true);
    QTest::newRow("port word") << QByteArray("\"port\",\"1\",1\r\n") << Design;
    QTest::newRow("repeat 9") << QByteArray("\"9001\",\"9\",1\r\n") << values("9001", "9", true);
    QTest::newRow("repeat 0") << QByteArray("\"9001\",\"0\",1\r\n") << Design;
    QTest::newRow("repeat 10") << QByteArray("\"9001\",\"10\",1\r\n") << Design;
    QTest::newRow("repeat -3") << QByteArray("\"9001\",\"-3\",1\r\n") << Design;
    QTest::newRow("third 0") << QByteArray("\"9001\",\"1\",0\r\n") << values("9001", "1", false);
    QTest::newRow("third 2") << QByteArray("\"9001\",\"1\",2\r\n") << Design;
    QTest::newRow("third -1") << QByteArray("\"9001\",\"1\",-1\r\n") << Design;
    QTest::newRow("third 0.0") << QByteArray("\"9001\",\"1\",0.0\r\n") << values("9001", "1", false);
    QTest::newRow("third empty") << QByteArray("\"9001\",\"1\",\r\n") << values("9001", "1", false);
    QTest::newRow("third word") << QByteArray("\"9001\",\"1\",yes\r\n") << values("9001", "1", false);
    QTest::newRow("empty file") << QByteArray() << values("9001", "1", false);
    QTest::newRow("only the port 2000") << QByteArray("\"2000\"\r\n") << values("2000", "1", false);
    QTest::newRow("checks independent") << QByteArray("\"80\",\"5\",0\r\n") << values("9001", "5", false);
}

void TestSettingsFile::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SettingsValues, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("tarnel.ini"));
    QVERIFY(writeBytes(path, bytes));
    const SettingsValues loaded = LoadSettingsFile(path, Design);
    QCOMPARE(loaded.port, expected.port);
    QCOMPARE(loaded.repeat, expected.repeat);
    QCOMPARE(loaded.startInTray, expected.startInTray);
}

void TestSettingsFile::noFileChangesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const SettingsValues current = values("4000", "2", true);
    QCOMPARE(LoadSettingsFile(dir.filePath(QStringLiteral("tarnel.ini")), current), current);
}

void TestSettingsFile::directoryCountsAsAbsent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("tarnel.ini"));
    QVERIFY(QDir().mkdir(path));
    QCOMPARE(LoadSettingsFile(path, Design), Design);
}

void TestSettingsFile::writtenBytes_data()
{
    QTest::addColumn<SettingsValues>("written");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("design") << Design << QByteArray("\"9001\",\"1\",1\r\n");
    QTest::newRow("unticked") << values("9001", "1", false) << QByteArray("\"9001\",\"1\",0\r\n");
    QTest::newRow("empty port") << values("", "1", true) << QByteArray("\"\",\"1\",1\r\n");
    QTest::newRow("unchecked values") << values("80", "x\"y", true) << QByteArray("\"80\",\"x\"y\",1\r\n");
}

void TestSettingsFile::writtenBytes()
{
    QFETCH(SettingsValues, written);
    QFETCH(QByteArray, bytes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("tarnel.ini"));
    QVERIFY(writeBytes(path, "an older and longer file\r\n"));
    QString error;
    QVERIFY2(SaveSettingsFile(path, written, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void TestSettingsFile::emptyPortIsRejectedAtNextLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("tarnel.ini"));
    QVERIFY(SaveSettingsFile(path, values("", "7", false)));
    QCOMPARE(LoadSettingsFile(path, Design), values("9001", "7", false));
}

void TestSettingsFile::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("tarnel.ini"));
    const QByteArray old("\"2000\",\"3\",0\r\n");
    QVERIFY(writeBytes(path, old));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const auto restore =
        qScopeGuard([&] { QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    // Someone who may write anyway (root) cannot test this.
    if (writeBytes(dir.filePath(QStringLiteral("probe")), "x"))
        QSKIP("the folder stays writable for this user");

    QString error;
    QVERIFY(!SaveSettingsFile(path, Design, &error));
    QVERIFY(!error.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
