#pragma once

#include <QString>

// One copy of the program per user session: a lock file in the user's runtime
// directory. The system releases the lock when the holder ends, however it
// ends, so a copy that was killed never blocks the next start.
class SingleInstance {
public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this copy holds the lock (no other copy runs).
    bool acquire();

    // Where the lock lives for this user.
    static QString defaultLockPath();

private:
    QString m_path;
    int m_fd = -1;
};
