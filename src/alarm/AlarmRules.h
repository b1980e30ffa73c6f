#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <vector>

class AddressBook;

// The clock text "yyyy/mm/dd(aaa) hh:mm" with the Japanese short weekday
// name, as in "2026/12/05(土) 21:43". Built from the numbers: the locale's own
// date formats would put AM/PM or other names in. An invalid time gives "".
QString clockText(const QDateTime& when);

// The hh:mm at the end of a clock text.
QStringView currentMinute(QStringView clockText);

// The weekday as an alarm slot number, Sunday 1 to Saturday 7; 0 for an
// invalid date.
int weekdayNumber(const QDate& date);

// Whether a text has the form of a clock minute: two digits, ":", two digits.
// Only such a text can ever equal the clock, so "7:30", "__:__" and "" never
// fire.
bool isClockMinute(QStringView text);

// The entries to wake for `currentMinute` on weekday `weekday` (1..7), in the
// order the tick wakes them: every entry whose every-day slot equals the
// minute, in book order, then every entry whose slot `weekday` equals it, in
// book order. An entry matching both is listed twice. A weekday outside 1..7
// checks the every-day slots only.
std::vector<int> alarmMatches(const AddressBook& book, QStringView currentMinute, int weekday);
