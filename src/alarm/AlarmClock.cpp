#include "alarm/AlarmClock.h"

#include "alarm/AlarmRules.h"
#include "core/Clock.h"

AlarmTick AlarmClock::tick(const AddressBook& book)
{
    AlarmTick tick;
    const QDateTime now = m_clock.now();
    if (!now.isValid())
        return tick;
    tick.clockText = clockText(now);
    tick.toWake = m_index.matches(book, currentMinute(tick.clockText), weekdayNumber(now.date()));
    return tick;
}
