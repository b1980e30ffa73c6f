#pragma once

#include <QObject>
#include <QString>
#include <array>

class AddressBookModel;
class DatagramSender;
class Failure;
class LimitedLineEdit;
class MainForm;
class QLabel;

// Waking computers: the typed computer, the marked ones, or one entry of the
// book (for the alarms), each with the port and repeat count of the window.
// The status label shows "WAIT", then "OK" or the failure as "ERROR:<number>"
// with its description as the tooltip.
class WakeActions : public QObject {
    Q_OBJECT
public:
    WakeActions(const MainForm& form, const AddressBookModel& model, DatagramSender& sender, QObject* parent);

    // Sends the packet of the typed MAC boxes to the typed host.
    void sendToOne();
    // Wakes every marked entry; "OK" only when every one was sent to, so a
    // failure stays in view.
    void sendToMarked();
    // Wakes the entry of `row`; false when that failed (its "ERROR:" text is
    // then in the status label).
    bool wakeEntry(int row);

private:
    void setStatus(const QString& text, const QString& tip = QString());
    void showFailure(const Failure& failure);

    const AddressBookModel& m_model;
    DatagramSender& m_sender;
    LimitedLineEdit* m_hostEdit;
    std::array<LimitedLineEdit*, 6> m_macEdits;
    LimitedLineEdit* m_portEdit;
    LimitedLineEdit* m_repeatEdit;
    QLabel* m_statusLabel;
};
