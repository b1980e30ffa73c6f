#pragma once

#include <QString>

#include <vector>

class AddressBook;
class Clock;

// What one tick of the clock timer does: the text for the clock label and the
// entries to wake, in waking order.
struct AlarmTick {
    // Empty when the time could not be read; the label then keeps its text.
    QString clockText;
    std::vector<int> toWake;
};

// The clock tick. It keeps no record of what has fired: every tick within an
// alarm's minute wakes the entry again.
class AlarmClock {
public:
    explicit AlarmClock(const Clock& clock) : m_clock(clock) {}

    // Scans the whole book: at 32,767 entries that stays well under a millisecond.
    AlarmTick tick(const AddressBook& book) const;

private:
    const Clock& m_clock;
};
