#include "settingsfile/SettingsFile.h"

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
    void directoryCountsAsAbsent();
    void writtenBytes_data();
    void writtenBytes();
};

void TestSettingsFile::readFields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("design line") << QByteArray("\"9001\",\"1\",1\r\n") << QStringList{"9001", "1", "1"};
    QTest::newRow("empty") << QByteArray() << QStringList{"", "", ""};
    QTest::newRow("only the port") << QByteArray("\"2000\"\r\n") << QStringList{"2000", "", ""};
    QTest::newRow("lines, LF") << QByteArray("\"2000\"\n\"3\"\n0\n") << QStringList{"2000", "3", "0"};
    QTest::newRow("lines, CR") << QByteArray("2000\r3\r0") << QStringList{"2000", "3", "0"};
    QTest::newRow("comma in quotes") << QByteArray("\"20,00\",\"3\",0\r\n") << QStringList{"20,00", "3", "0"};
    QTest::newRow("blanks before fields")
        << QByteArray("  \"2000\", \t\"3\",   0\r\n") << QStringList{"2000", "3", "0"};
    // After the closing quote everything up to the delimiter is dropped.
    QTest::newRow("text after quote") << QByteArray("\"20\"00,\"3\"x,0") << QStringList{"20", "3", "0"};
    QTest::newRow("quote then line end") << QByteArray("\"20\" \r\n,\"3\"") << QStringList{"20", "", "3"};
    QTest::newRow("unclosed quote") << QByteArray("\"2000,3,0") << QStringList{"2000,3,0", "", ""};
    QTest::newRow("quote inside bare field") << QByteArray("20\"00,3,0") << QStringList{"20\"00", "3", "0"};
    QTest::newRow("line end first") << QByteArray("\r\n\"2000\",\"3\",0") << QStringList{"", "2000", "3"};
    QTest::newRow("no final line end") << QByteArray("\"2000\",\"3\",0") << QStringList{"2000", "3", "0"};
    QTest::newRow("more than three") << QByteArray("1,2,3,4,5\r\n6\r\n") << QStringList{"1", "2", "3"};
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

    const SettingsFields read = readSettingsFields(bytes);
    QCOMPARE((QStringList{read.port, read.repeat, read.startInTray}), fields);
}

void TestSettingsFile::directoryCountsAsAbsent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("tarnel.ini"));
    QVERIFY(QDir().mkdir(path));
    QCOMPARE(loadSettingsFile(path, Design), Design);
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
    QVERIFY2(saveSettingsFile(path, written, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
