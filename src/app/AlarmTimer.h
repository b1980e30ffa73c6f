#pragma once

#include "alarm/AlarmClock.h"

#include <QObject>

class AddressBookModel;
class Clock;
class QLabel;
class QTimer;
class WakeActions;

// The clock of the window: ten times a second it shows the date and time and
// wakes every entry whose alarm is the current minute, shown or hidden.
class AlarmTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 100;

    AlarmTimer(const Clock& clock, const AddressBookModel& model, QLabel* clockLabel, WakeActions& wake,
               QObject* parent);

    void start();
    void tick();

private:
    AlarmClock m_alarmClock;
    const AddressBookModel& m_model;
    QLabel* m_clockLabel;
    WakeActions& m_wake;
    QTimer* m_timer;
};
