#pragma once

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "core/Clock.h"
#include "wake/UdpSender.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

// Boxes that are never shown: a benchmark asks nothing.
class SilentDialogs final : public Dialogs {
public:
    QString askText(QWidget*, const QString&, const QString& = {}) override { return {}; }
    bool confirm(QWidget*, const QString&, const QString&) override { return false; }
    void warn(QWidget*, const QString&, const QString& = {}) override {}
    void inform(QWidget*, const QString&) override {}
};

// A clock the benchmark sets, as the tests do.
class SetClock final : public Clock {
public:
    QDateTime now() const override { return when; }
    QDateTime when = QDateTime(QDate(2026, 12, 7), QTime(7, 30));
};

// The window over a real UDP sender, with "address.lst" holding `file`.
struct BenchWindow {
    explicit BenchWindow(const QByteArray& file = {})
    {
        QFile out(dir.filePath(QStringLiteral("address.lst")));
        if (out.open(QIODevice::WriteOnly))
            out.write(file);
        services = AppServices{&sender, &clock, &dialogs, dir.path(), false, {}};
    }
    MainWindow& start()
    {
        window = std::make_unique<MainWindow>(services);
        window->start();
        return *window;
    }
    QTemporaryDir dir;
    UdpSender sender;
    SetClock clock;
    SilentDialogs dialogs;
    AppServices services;
    std::unique_ptr<MainWindow> window;
};

// The median time of `runs` runs of `work`, in milliseconds.
inline double medianMs(const std::function<void()>& work, int runs = 7)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
