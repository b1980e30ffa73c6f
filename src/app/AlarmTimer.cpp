#include "app/AlarmTimer.h"

#include "app/AddressBookModel.h"
#include "app/WakeActions.h"

#include <QLabel>
#include <QTimer>

AlarmTimer::AlarmTimer(const Clock& clock, const AddressBookModel& model, QLabel* clockLabel, WakeActions& wake,
                       QObject* parent)
    : QObject(parent), m_alarmClock(clock), m_model(model), m_clockLabel(clockLabel), m_wake(wake),
      m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("alarmTimer"));
    m_timer->setInterval(TickMs);
    connect(m_timer, &QTimer::timeout, this, &AlarmTimer::tick);
}

void AlarmTimer::start()
{
    m_timer->start();
}

void AlarmTimer::tick()
{
    const AlarmTick tick = m_alarmClock.tick(m_model.book());
    if (!tick.clockText.isEmpty())
        m_clockLabel->setText(tick.clockText);
    // A failure shows in the status label; the next tick tries again.
    for (int row : tick.toWake)
        m_wake.wakeEntry(row);
}
