#pragma once

#include <QDateTime>

// The local time of day, read through an interface so tests can set it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The system's local clock, read afresh at every call, so daylight-saving
// changes and a changed system time are followed.
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
