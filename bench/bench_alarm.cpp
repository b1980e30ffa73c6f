// One clock tick against a full address book in which nothing is due: the
// cost every tick pays, ten times a second, for the whole run.

#include "addressbook/AddressBook.h"
#include "alarm/AlarmClock.h"
#include "alarm/AlarmRules.h"
#include "core/Clock.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class FixedClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 5), QTime(21, 43)); }
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

    FixedClock clock;
    std::size_t woken = 0;

    const double scan = medianMicroseconds(200, [&] {
        const QDateTime now = clock.now();
        const QString text = clockText(now);
        woken += alarmMatches(book, currentMinute(text), weekdayNumber(now.date())).size();
    });

    AlarmClock alarms(clock);
    QElapsedTimer first;
    first.start();
    woken += alarms.tick(book).toWake.size(); // builds the index
    const double build = double(first.nsecsElapsed()) / 1000.0;
    const double indexed = medianMicroseconds(5000, [&] { woken += alarms.tick(book).toWake.size(); });

    std::printf("alarm tick, %d entries, nothing due (median):\n", book.size());
    std::printf("  two passes over the book: %10.1f us\n", scan);
    std::printf("  indexed tick:             %10.1f us (first tick, building the index: %.1f us)\n", indexed, build);
    std::printf("  entries woken: %zu\n", woken);
    return woken == 0 ? 0 : 1;
}
