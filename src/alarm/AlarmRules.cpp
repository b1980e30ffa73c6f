#include "alarm/AlarmRules.h"

#include "addressbook/AddressBook.h"

#include <QTime>

#include <cstdlib>

namespace {

// Sunday first, to be indexed by weekdayNumber() - 1.
constexpr char16_t WeekdayNames[7] = {u'日', u'月', u'火', u'水', u'木', u'金', u'土'};

void appendNumber(QString& text, int value, int width)
{
    if (value < 0)
        text += u'-';
    const QString digits = QString::number(std::abs(qint64(value)));
    for (qsizetype i = digits.size(); i < width; ++i)
        text += u'0';
    text += digits;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString clockText(const QDateTime& when)
{
    if (!when.isValid())
        return {};
    const QDate date = when.date();
    const QTime time = when.time();
    QString text;
    text.reserve(21);
    appendNumber(text, date.year(), 4);
    text += u'/';
    appendNumber(text, date.month(), 2);
    text += u'/';
    appendNumber(text, date.day(), 2);
    text += u'(';
    text += QChar(WeekdayNames[weekdayNumber(date) - 1]);
    text += u')';
    text += u' ';
    appendNumber(text, time.hour(), 2);
    text += u':';
    appendNumber(text, time.minute(), 2);
    return text;
}

QStringView currentMinute(QStringView clockText)
{
    return clockText.size() < 5 ? clockText : clockText.last(5);
}

int weekdayNumber(const QDate& date)
{
    // QDate counts Monday 1 to Sunday 7.
    return date.isValid() ? date.dayOfWeek() % 7 + 1 : 0;
}

bool isClockMinute(QStringView text)
{
    return text.size() == 5 && isDigit(text[0]) && isDigit(text[1]) && text[2] == u':' && isDigit(text[3]) &&
           isDigit(text[4]);
}

std::vector<int> alarmMatches(const AddressBook& book, QStringView currentMinute, int weekday)
{
    std::vector<int> matches;
    if (!isClockMinute(currentMinute))
        return matches;
    const auto pass = [&](int slot) {
        int index = 0;
        for (const AddressEntry& entry : book) {
            if (entry.alarms[std::size_t(slot)] == currentMinute)
                matches.push_back(index);
            ++index;
        }
    };
    pass(0);
    if (weekday >= 1 && weekday <= 7)
        pass(weekday);
    return matches;
}
