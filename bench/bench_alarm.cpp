// One clock tick against a full address book, ten times a second for the
// whole run: a minute in which nothing is due, and one in which some are.

#include "addressbook/AddressBook.h"
#include "alarm/AlarmClock.h"
#include "core/Clock.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class FixedClock final : public Clock {
public:
    explicit FixedClock(QTime time) : m_time(time) {}
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 5), m_time); }

private:
    QTime m_time;
};

template <typename Tick> double medianMicroseconds(int runs, Tick tick)
{
    std::vector<qint64> samples;
    samples.reserve(std::size_t(runs));
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        tick();
        samples.push_back(timer.nsecsElapsed());
    }
    std::nth_element(samples.begin(), samples.begin() + runs / 2, samples.end());
    return double(samples[std::size_t(runs / 2)]) / 1000.0;
}

} // namespace

int main()
{
    // Alarms on every slot of every entry, none at 21:43.
    AddressBook book;
    for (int i = 0; i < AddressBook::MaxEntries; ++i) {
        AddressEntry entry;
        entry.alarms.fill(QStringLiteral("__:__"));
        entry.alarms[std::size_t(i % 8)] =
            QStringLiteral("%1:%2").arg(i % 21, 2, 10, QChar(u'0')).arg(i % 60, 2, 10, QChar(u'0'));
        book.append(std::move(entry));
    }

    // 21:43 is in no slot; at 08:08 a few dozen are due, every day or on Saturday.
    const FixedClock quiet(QTime(21, 43));
    const FixedClock due(QTime(8, 8));
    std::size_t woken = 0;
    const AlarmClock quietAlarms(quiet);
    const double nothingDue = medianMicroseconds(1000, [&] { woken += quietAlarms.tick(book).toWake.size(); });
    if (woken != 0)
        return 1;
    const AlarmClock dueAlarms(due);
    const std::size_t dueCount = dueAlarms.tick(book).toWake.size();
    const double someDue = medianMicroseconds(1000, [&] { woken += dueAlarms.tick(book).toWake.size(); });

    std::printf("alarm tick, %d entries, whole-book scan (median of 1000):\n", book.size());
    std::printf("  nothing due:        %8.1f us\n", nothingDue);
    std::printf("  %3zu entries due:    %8.1f us\n", dueCount, someDue);
    return dueCount > 0 ? 0 : 1;
}
