#include "AlarmClock.h"

#include "AlarmRules.h"
#include "Clock.h"

AlarmTick AlarmClock::tick(const AddressBook& book)
{
    AlarmTick tick;
    const QDateTime now = m_clock.now();
    if (!now.isValid())
        return tick;
    tick.clockText = ClockText(now);
    tick.toWake = m_index.matches(book, CurrentMinute(tick.clockText), WeekdayNumber(now.date()));
    return tick;
}
