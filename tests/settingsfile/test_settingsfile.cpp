#include "FileBytes.h"
#include "FileNodes.h"
#include "settingsfile/SettingsFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList shown(const SettingsValues& values)
{
    return {values.port, values.repeat, values.startInTray ? "ticked" : "unticked"};
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readFields_data();
    void readFields();
    void applyFields_data();
    void applyFields();
    void saveAndLoad();
};

void TestSettingsFile::readFields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("lines, LF") << QByteArray("\"2000\"\n\"3\"\n0\n") << QStringList{"2000", "3", "0"};
    QTest::newRow("lines, CR") << QByteArray("2000\r3\r0") << QStringList{"2000", "3", "0"};
    QTest::newRow("comma in quotes, blanks before fields")
        << QByteArray(" \"20,00\", \t\"3\",\t0\r\n") << QStringList{"20,00", "3", "0"};
    // After the closing quote everything up to the delimiter is dropped.
    QTest::newRow("text after quote") << QByteArray("\"20\"00,\"3\"x,0") << QStringList{"20", "3", "0"};
    QTest::newRow("unclosed quote") << QByteArray("\"2000,3,0") << QStringList{"2000,3,0", "", ""};
    QTest::newRow("line end first, then more than three")
        << QByteArray("\r\n\"2000\",\"3\",0") << QStringList{"", "2000", "3"};
}

void TestSettingsFile::readFields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, fields);
    const SettingsFields read = readSettingsFields(bytes);
    QCOMPARE((QStringList{read.port, read.repeat, read.startInTray}), fields);
}

void TestSettingsFile::applyFields_data()
{
    QTest::addColumn<QStringList>("fields"); // port, repeat, start in tray
    QTest::addColumn<bool>("ticked");        // before the file is read
    QTest::addColumn<QStringList>("values");

    QTest::newRow("lowest") << QStringList{"1025", "0.5", "0"} << true << QStringList{"1025", "0.5", "unticked"};
    QTest::newRow("highest") << QStringList{"9999", "9", ""} << true << QStringList{"9999", "9", "unticked"};
    QTest::newRow("below") << QStringList{"1024", "0", "1"} << true << QStringList{"2000", "3", "ticked"};
    QTest::newRow("above") << QStringList{"10000", "9.5", "-1"} << false << QStringList{"2000", "3", "unticked"};
    QTest::newRow("rewritten") << QStringList{" &H7D1", "1 e0", "x"} << true << QStringList{"2001", "1", "unticked"};
}

void TestSettingsFile::applyFields()
{
    QFETCH(QStringList, fields);
    QFETCH(bool, ticked);
    QFETCH(QStringList, values);
    const SettingsValues current{QStringLiteral("2000"), QStringLiteral("3"), ticked};
    QCOMPARE(shown(applySettingsFields({fields[0], fields[1], fields[2]}, current)), values);
}

void TestSettingsFile::saveAndLoad()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarnel.ini"));
    const SettingsValues current{QStringLiteral("2000"), QStringLiteral("3"), true};
    // Neither a missing file nor a FIFO changes anything, and the FIFO, which would block a plain open, is
    // never replaced.
    QCOMPARE(loadSettingsFile(path, current), current);
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QVERIFY(fileNodes::makeFifo(fifo));
    QCOMPARE(loadSettingsFile(fifo, current), current);
    QVERIFY(!saveSettingsFile(fifo, current));
    QVERIFY(S_ISFIFO(fileNodes::statusOf(fifo).st_mode));

    // Written as they are, unchecked; the load then takes only what is in range.
    QVERIFY(saveSettingsFile(path, {QStringLiteral("9001"), QStringLiteral("x\"y"), false}));
    QCOMPARE(fileBytes(path), QByteArray("\"9001\",\"x\"y\",0\r\n"));
    QCOMPARE(shown(loadSettingsFile(path, current)), (QStringList{"9001", "3", "unticked"}));
    QVERIFY(saveSettingsFile(path, current));
    QCOMPARE(loadSettingsFile(path, {}), current);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
