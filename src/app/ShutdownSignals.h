#pragma once

#include <QObject>

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal delivered on the event
// loop, so the program's shutdown steps run before it ends.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

Q_SIGNALS:
    void shutdownRequested();

private:
    void readSignal();
    class QSocketNotifier* m_notifier = nullptr;
};
