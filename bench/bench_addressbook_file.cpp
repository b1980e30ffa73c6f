// Times reading and writing a full address book (32,767 lines of about 90 characters): the window's start-up
// load should stay under 150 ms and each save under 30 ms, so the file work must take well under that.
#include "addressbook/AddressBookFile.h"
#include "addressbook/AddressListFormat.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int Runs = 9;

AddressBook fullBook()
{
    AddressBook book;
    for (int i = 0; i < AddressBook::MaxEntries; ++i) {
        AddressEntry entry;
        // Every fourth name is Japanese, the rest plain ASCII.
        entry.name = (i % 4 == 0 ? QStringLiteral("事務所のパソコン-%1") : QStringLiteral("Workstation-%1"))
                         .arg(i, 5, 10, QLatin1Char('0'));
        for (int j = 0; j < AddressEntry::MacBytes; ++j)
            entry.setMac(j, QStringLiteral("%1").arg((i * 7 + j * 31) % 256, 2, 16, QLatin1Char('0')).toUpper());
        for (int k = 0; k < AddressEntry::AlarmSlots; ++k)
            entry.alarms[std::size_t(k)] = (k >= 2 && k <= 6) ? QStringLiteral("07:30") : QStringLiteral("__:__");
        entry.host = QStringLiteral("192.168.%1.255").arg(i % 256);
        if (!book.append(std::move(entry)))
            break;
    }
    return book;
}

struct Timing {
    double first = 0;
    double median = 0;
    double cpuMedian = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The first run is what the program sees at start-up; the median is the steady figure. Processor time is given
// too, since on a shared machine the elapsed time also counts other programs' turns.
Timing timeMs(const std::function<void()>& work)
{
    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        const std::clock_t cpuStart = std::clock();
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpuTimes.push_back(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
    }
    return {times.front(), median(times), median(cpuTimes)};
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    const AddressBook book = fullBook();
    const QByteArray bytes = serializeAddressList(book);
    AddressBookFile file(dir.filePath(QStringLiteral("address.lst")));
    if (!file.save(book).saved) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file.path()));
        return 1;
    }

    int entries = 0;
    const Timing parse = timeMs([&] { entries = parseAddressList(bytes).book.size(); });
    const Timing load = timeMs([&] { entries = file.load().book.size(); });
    qsizetype size = 0;
    const Timing serialize = timeMs([&] { size = serializeAddressList(book).size(); });
    bool saved = true;
    const Timing save = timeMs([&] { saved = file.save(book).saved && saved; });

    std::printf("%d entries, %lld bytes, %.1f bytes a line; %d runs\n", entries, qlonglong(bytes.size()),
                double(bytes.size()) / AddressBook::MaxEntries, Runs);
    std::printf("%-22s %10s %10s %10s\n", "", "first", "median", "cpu median");
    auto print = [](const char* what, const Timing& timing) {
        std::printf("%-22s %7.2f ms %7.2f ms %7.2f ms\n", what, timing.first, timing.median, timing.cpuMedian);
    };
    print("parse from bytes", parse);
    print("load from file", load);
    print("serialize", serialize);
    print("save (replace whole)", save);
    if (!saved)
        std::printf("a save FAILED\n");
    return entries == AddressBook::MaxEntries && size == bytes.size() && saved ? 0 : 1;
}
