#include "FakeClock.h"
#include "addressbook/AddressBook.h"
#include "alarm/AlarmClock.h"
#include "alarm/AlarmRules.h"

#include <QTest>

namespace {

// Saturday 2026-12-05 and the days around it.
const QDate Saturday(2026, 12, 5);
const QDate Sunday(2026, 12, 6);
const QDate Monday(2026, 12, 7);
const QDate Tuesday(2026, 12, 8);

// An entry from "slot=time" pairs, as in "0=07:30 3=22:00"; unnamed slots
// hold "__:__".
AddressEntry entry(const QString& alarms)
{
    AddressEntry e;
    e.alarms.fill(QStringLiteral("__:__"));
    for (const QString& pair : alarms.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        e.alarms[std::size_t(pair.left(eq).toInt())] = pair.mid(eq + 1);
    }
    return e;
}

AddressBook book(const QStringList& entries)
{
    AddressBook b;
    for (const QString& alarms : entries)
        b.append(entry(alarms));
    return b;
}

std::vector<int> toVector(const QList<int>& list)
{
    return {list.begin(), list.end()};
}

} // namespace

class TestAlarm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clockText_data();
    void clockText();
    void weekdayNumber_data();
    void weekdayNumber();
    void matches_data();
    void matches();
    void tick();
};

void TestAlarm::clockText_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("text");

    QTest::newRow("Saturday evening") << QDateTime(Saturday, QTime(21, 43)) << "2026/12/05(土) 21:43";
    QTest::newRow("Sunday morning") << QDateTime(Sunday, QTime(9, 5, 59)) << "2026/12/06(日) 09:05";
    QTest::newRow("midnight") << QDateTime(Monday, QTime(0, 0)) << "2026/12/07(月) 00:00";
    QTest::newRow("single-digit month") << QDateTime(QDate(2027, 3, 3), QTime(7, 30)) << "2027/03/03(水) 07:30";
    QTest::newRow("invalid") << QDateTime() << "";
}

void TestAlarm::clockText()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, text);
    QCOMPARE(::clockText(when), text);
}

void TestAlarm::weekdayNumber_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("number");

    QTest::newRow("Sunday") << Sunday << 1;
    QTest::newRow("Monday") << Monday << 2;
    QTest::newRow("Tuesday") << Tuesday << 3;
    QTest::newRow("Saturday") << Saturday << 7;
    QTest::newRow("invalid") << QDate() << 0;
}

void TestAlarm::weekdayNumber()
{
    QFETCH(QDate, date);
    QFETCH(int, number);
    QCOMPARE(::weekdayNumber(date), number);
}

void TestAlarm::matches_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<int>("weekday");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("every day, its minute") << QStringList{"0=07:30"} << "07:30" << 2 << QList<int>{0};
    QTest::newRow("every day, next minute") << QStringList{"0=07:30"} << "07:31" << 2 << QList<int>{};
    QTest::newRow("Tuesday on Monday") << QStringList{"3=22:00"} << "22:00" << 2 << QList<int>{};
    QTest::newRow("both slots: twice") << QStringList{"0=12:00 2=12:00"} << "12:00" << 2 << QList<int>{0, 0};
    QTest::newRow("every day first") << QStringList{"2=12:00", "0=12:00"} << "12:00" << 2 << QList<int>{1, 0};
    QTest::newRow("book order") << QStringList{"0=06:00", "", "0=06:00"} << "06:00" << 4 << QList<int>{0, 2};
    QTest::newRow("both passes in book order")
        << QStringList{"4=06:00", "0=06:00 4=06:00", "0=06:00", "4=06:00"} << "06:00" << 4 << QList<int>{1, 2, 0, 1, 3};
    QTest::newRow("7:30 never") << QStringList{"0=7:30"} << "07:30" << 2 << QList<int>{};
    QTest::newRow("evening is not morning") << QStringList{"0=21:43"} << "09:43" << 7 << QList<int>{};
    QTest::newRow("no alarm text") << QStringList{""} << "__:__" << 2 << QList<int>{};
    QTest::newRow("weekday out of range") << QStringList{"0=08:00 7=08:00"} << "08:00" << 8 << QList<int>{0};
}

void TestAlarm::matches()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, minute);
    QFETCH(int, weekday);
    QFETCH(QList<int>, expected);

    const AddressBook b = book(entries);
    QCOMPARE(alarmMatches(b, minute, weekday), toVector(expected));
}

void TestAlarm::tick()
{
    FakeClock clock(QDateTime(Sunday, QTime(7, 30, 59)));
    const AlarmClock alarms(clock);
    const AddressBook b = book({"0=07:30", "1=07:30", "0=07:31"});
    AlarmTick tick = alarms.tick(b);
    QCOMPARE(tick.clockText, QStringLiteral("2026/12/06(日) 07:30"));
    QCOMPARE(tick.toWake, (std::vector<int>{0, 1}));
    clock.set(QDateTime());
    tick = alarms.tick(b);
    QVERIFY(tick.clockText.isEmpty() && tick.toWake.empty());
}

QTEST_GUILESS_MAIN(TestAlarm)
#include "test_alarm.moc"
