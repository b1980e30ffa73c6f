#include "FakeClock.h"
#include "addressbook/AddressBook.h"
#include "alarm/AlarmClock.h"
#include "alarm/AlarmRules.h"

#include <QTest>

class TestAlarm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tick_data();
    void tick();
};

void TestAlarm::tick_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("toWake");

    QTest::newRow("Saturday evening") << QDateTime(QDate(2026, 12, 5), QTime(21, 43)) << "2026/12/05(土) 21:43"
                                      << QList<int>{0, 1};
    QTest::newRow("Sunday, seconds") << QDateTime(QDate(2026, 12, 6), QTime(9, 5, 59)) << "2026/12/06(日) 09:05"
                                     << QList<int>{1, 4, 2};
    QTest::newRow("Wednesday midnight") << QDateTime(QDate(2027, 3, 3), QTime(0, 0)) << "2027/03/03(水) 00:00"
                                        << QList<int>{3, 3};
    QTest::newRow("invalid") << QDateTime() << "" << QList<int>{};
}

void TestAlarm::tick()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, text);
    QFETCH(QList<int>, toWake);

    // Slot 0 is every day, slot k weekday k.
    AddressBook book;
    for (const QStringList& alarms :
         {QStringList{"21:43", "", "", "", "", "", "", "__:__"}, QStringList{"09:05", "", "", "", "", "", "", "21:43"},
          QStringList{"__:__", "09:05"}, QStringList{"00:00", "", "", "", "00:00"}, QStringList{"09:05"}}) {
        AddressEntry entry;
        std::copy(alarms.begin(), alarms.end(), entry.alarms.begin());
        book.append(entry);
    }
    FakeClock clock(when);
    const AlarmTick tick = AlarmClock(clock).tick(book);
    QCOMPARE(tick.clockText, text);
    QCOMPARE(QList<int>(tick.toWake.begin(), tick.toWake.end()), toWake);
    // What the clock never asks: a weekday outside 1..7 checks only the every-day slots, and only a clock minute
    // can fire.
    QCOMPARE(weekdayNumber(QDate()), 0);
    QCOMPARE(alarmMatches(book, u"21:43", 0), std::vector<int>{0});
    QCOMPARE(alarmMatches(book, u"21:43", 8), std::vector<int>{0});
    QCOMPARE(alarmMatches(book, u"__:__", 7), std::vector<int>());
}

QTEST_GUILESS_MAIN(TestAlarm)
#include "test_alarm.moc"
