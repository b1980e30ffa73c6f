#include "DiskFull.h"
#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/Failure.h"
#include "core/TextNumbers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numericValue_data();
    void numericValue();
    void hexTextToByte_data();
    void hexTextToByte();
    void textToInt16_data();
    void textToInt16();
    void numberText();
    void dataDirectoryRule();
    void atomicWrite();
};

void TestCore::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("blanks inside") << " 1 2" << 12.0;
    QTest::newRow("tabs and line feeds") << "\t1\n0\r\n" << 10.0;
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("exponent then junk") << "1e3x" << 1000.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("huge exponent") << "1e999" << HUGE_VAL;
}

void TestCore::numericValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(::numericValue(text), value);
}

void TestCore::hexTextToByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -13 type mismatch, -6 overflow
    QTest::newRow("lower") << "ab" << 0xAB;
    QTest::newRow("upper") << "AB" << 0xAB;
    QTest::newRow("one digit") << "7" << 7;
    QTest::newRow("digit and blank") << "7 " << 7;
    QTest::newRow("empty") << "" << -13;
    QTest::newRow("blanks") << "  " << -13;
    QTest::newRow("not hex") << "G1" << -13;
    QTest::newRow("leading blank") << " 7" << -13;
    QTest::newRow("over a byte") << "100" << -6;
}

void TestCore::hexTextToByte()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    try {
        const int byte = ::hexTextToByte(text);
        QCOMPARE(byte, value);
    } catch (const Failure& failure) {
        QCOMPARE(-failure.number(), value);
        QCOMPARE(failure.helpContext(), 1000000 + failure.number());
        QVERIFY(!failure.description().isEmpty());
    }
}

void TestCore::textToInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -100013 type mismatch, -100006 overflow
    QTest::newRow("blanks around") << " 7 " << 7;
    QTest::newRow("half down to even") << "2.5" << 2;
    QTest::newRow("half up to even") << "3.5" << 4;
    QTest::newRow("fraction") << "1025.6" << 1026;
    QTest::newRow("lowest") << "-32768" << -32768;
    QTest::newRow("highest") << "32767" << 32767;
    QTest::newRow("too high") << "32768" << -100006;
    QTest::newRow("empty") << "" << -100013;
    QTest::newRow("letter") << "x" << -100013;
    QTest::newRow("trailing junk") << "80x" << -100013;
    QTest::newRow("dot") << "." << -100013;
}

void TestCore::textToInt16()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    // A repeat count is taken exactly when it is a number at all.
    QCOMPARE(isNumeric(text), value != -100013);
    try {
        QCOMPARE(int(::textToInt16(text)), value);
    } catch (const Failure& failure) {
        QCOMPARE(-100000 - failure.number(), value);
        QCOMPARE(failure.helpContext(), 1000000 + failure.number());
    }
}

void TestCore::numberText()
{
    QCOMPARE(::numberText(9001), QStringLiteral("9001"));
    QCOMPARE(::numberText(1025.5), QStringLiteral("1025.5"));
    QCOMPARE(::numberText(-1), QStringLiteral("-1"));
}

void TestCore::dataDirectoryRule()
{
    QTemporaryDir build;
    const QString config = QStringLiteral("/home/u/.config/tarnel");
    // A build or unpacked folder keeps the files beside the program.
    QCOMPARE(chooseDataDirectory(build.path(), QStringLiteral("/usr/bin"), true, config), build.path());
    // The installed location, even spelled differently, and a folder the user cannot write do not.
    QCOMPARE(chooseDataDirectory(build.path() + QStringLiteral("/."), build.path(), true, config), config);
    QCOMPARE(chooseDataDirectory(QStringLiteral("/usr/bin"), QStringLiteral("/usr/bin"), false, config), config);
    QCOMPARE(chooseDataDirectory(build.path(), QStringLiteral("/usr/bin"), false, config), config);
    QCOMPARE(dataFilePath(QStringLiteral("/"), QStringLiteral("tarnel.ini")), QStringLiteral("/tarnel.ini"));
}

void TestCore::atomicWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    const auto contents = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    };
    QVERIFY(writeFileAtomically(path, "old"));
    // From a source, piece by piece: several pieces arrive whole and in order.
    QByteArray big(3 << 20, 'x');
    big[0] = 'a';
    big[big.size() - 1] = 'z';
    QBuffer source(&big);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QVERIFY(writeFileAtomically(path, source));
    QCOMPARE(contents(), big);
    QVERIFY(writeFileAtomically(path, "new\r\n"));
    QString error;
    QVERIFY(!writeFileAtomically(dir.filePath(QStringLiteral("missing/a.txt")), "x", &error));
    QVERIFY(!error.isEmpty());
    {
        // A disk that fills up mid-write leaves the old file whole and no temporary.
        DiskFull full(3);
        QVERIFY(!writeFileAtomically(path, "longer than three bytes", &error));
    }
    QBuffer unreadable; // never opened: its first read fails
    QVERIFY(!writeFileAtomically(path, unreadable, &error));
    QCOMPARE(contents(), QByteArray("new\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.txt"});
}

QTEST_GUILESS_MAIN(TestCore)
#include "test_core.moc"
