#include "core/AppPaths.h"
#include "core/Failure.h"
#include "core/TextNumbers.h"

#include <QTemporaryDir>
#include <QTest>

class TestCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numbers_data();
    void numbers();
    void dataDirectoryRule();
};

void TestCore::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value"); // numberText(numericValue(text))
    QTest::addColumn<QString>("int16"); // textToInt16; isNumeric unless E13
    QTest::addColumn<QString>("byte");  // hexTextToByte

    const QString mismatch = QStringLiteral("E13/1000013");
    const QString overflow = QStringLiteral("E6/1000006");
    QTest::newRow("blanks inside") << "\u3000 1\t2\r\n3"
                                   << "123" << mismatch << mismatch;
    QTest::newRow("blanks around") << " \t7 \t"
                                   << "7"
                                   << "7" << mismatch;
    QTest::newRow("digit, then blanks") << "9 "
                                        << "9"
                                        << "9"
                                        << "9";
    QTest::newRow("hex, lower case") << "&hfa0g1"
                                     << "4000" << mismatch << mismatch;
    QTest::newRow("hex, upper case") << "&H1F"
                                     << "31" << mismatch << mismatch;
    QTest::newRow("zero, nine, A") << "09A"
                                   << "9" << mismatch << "154";
    QTest::newRow("a whole byte") << "FF"
                                  << "0" << mismatch << "255";
    QTest::newRow("exponent, then junk") << "-2.5e+2x"
                                         << "-250" << mismatch << mismatch;
    QTest::newRow("D exponent, bare dot") << "1D2."
                                          << "100" << mismatch << overflow;
    QTest::newRow("E without digits") << "4E-"
                                      << "4" << mismatch << mismatch;
    QTest::newRow("fraction only") << "-.5"
                                   << "-0.5"
                                   << "0" << mismatch;
    QTest::newRow("dot without digits") << ".e1"
                                        << "0" << mismatch << mismatch;
    QTest::newRow("half up to even") << "+3.5"
                                     << "3.5"
                                     << "4" << mismatch;
    QTest::newRow("half down to even") << "2.50"
                                       << "2.5"
                                       << "2" << mismatch;
    QTest::newRow("lowest") << "-32768"
                            << "-32768"
                            << "-32768" << mismatch;
    QTest::newRow("highest") << "32767"
                             << "32767"
                             << "32767" << overflow;
    QTest::newRow("above the highest") << "32768"
                                       << "32768" << overflow << overflow;
    QTest::newRow("huge exponent") << "1e999"
                                   << "inf" << overflow << overflow;
    QTest::newRow("huge negative") << "-1e999"
                                   << "-inf" << overflow << mismatch;
    QTest::newRow("tiny exponent") << "1e-999"
                                   << "0"
                                   << "0" << mismatch;
    QTest::newRow("sign only") << "-"
                               << "0" << mismatch << mismatch;
    QTest::newRow("blank") << " "
                           << "0" << mismatch << mismatch;
}

void TestCore::numbers()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QString, int16);
    QFETCH(QString, byte);
    // The number a conversion gives, or "E<error number>/<help context>" for the failure it throws.
    const auto outcome = [](auto convert) {
        try {
            return QString::number(convert());
        } catch (const Failure& failure) {
            return QStringLiteral("E%1/%2").arg(failure.number()).arg(failure.helpContext());
        }
    };
    QCOMPARE(numberText(numericValue(text)), value);
    QCOMPARE(outcome([&] { return textToInt16(text); }), int16);
    QCOMPARE(isNumeric(text), int16 != QStringLiteral("E13/1000013"));
    QCOMPARE(outcome([&] { return hexTextToByte(text); }), byte);
    // An index failure is numbered the way a conversion failure is.
    QCOMPARE(Failure::subscriptOutOfRange(text).helpContext(), 1000009);
}

void TestCore::dataDirectoryRule()
{
    QTemporaryDir build;
    const QString config = QStringLiteral("/home/u/.config/tarnel");
    // A build or unpacked folder keeps the files beside the program, even when it is read-only but holds them.
    QCOMPARE(chooseDataDirectory(build.path(), QStringLiteral("/usr/bin"), true, false, config), build.path());
    QCOMPARE(chooseDataDirectory(build.path(), QStringLiteral("/usr/bin"), false, true, config), build.path());
    // The installed location, even spelled differently, and a folder the user cannot write that holds neither
    // file do not.
    QCOMPARE(chooseDataDirectory(build.path() + QStringLiteral("/."), build.path(), true, true, config), config);
    QCOMPARE(chooseDataDirectory(build.path(), QStringLiteral("/usr/bin"), false, false, config), config);
}

QTEST_GUILESS_MAIN(TestCore)
#include "test_core.moc"
