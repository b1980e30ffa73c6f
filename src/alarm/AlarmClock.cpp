#include "alarm/AlarmClock.h"

#include "alarm/AlarmRules.h"
#include "core/Clock.h"

AlarmTick AlarmClock::tick(const AddressBook& book) const
{
    AlarmTick tick;
    const QDateTime now = m_clock.now();
    if (!now.isValid())
        return tick;
    tick.clockText = clockText(now);
    tick.toWake = alarmMatches(book, currentMinute(tick.clockText), weekdayNumber(now.date()));
    return tick;
}
