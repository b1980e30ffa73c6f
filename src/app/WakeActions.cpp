#include "app/WakeActions.h"

#include "app/AddressBookModel.h"
#include "app/LimitedLineEdit.h"
#include "app/MainForm.h"
#include "core/Failure.h"
#include "wake/MagicPacket.h"

#include <QLabel>
#include <QtDebug>

WakeActions::WakeActions(const MainForm& form, const AddressBookModel& model, DatagramSender& sender, QObject* parent)
    : QObject(parent), m_model(model), m_sender(sender), m_hostEdit(form.hostEdit()), m_macEdits(form.macEdits()),
      m_portEdit(form.portEdit()), m_repeatEdit(form.repeatEdit()), m_statusLabel(form.statusLabel())
{
}

void WakeActions::sendToOne()
{
    setStatus(QStringLiteral("WAIT"));
    std::array<QString, 6> macTexts;
    for (std::size_t j = 0; j < macTexts.size(); ++j)
        macTexts[j] = m_macEdits[j]->text();
    try {
        sendMagicPacket(m_sender, macTexts, m_hostEdit->text(), m_portEdit->text(), m_repeatEdit->text());
        setStatus(QStringLiteral("OK"));
    } catch (const Failure& failure) {
        showFailure(failure);
    } catch (const std::exception& unexpected) {
        // Nothing but a failure should come out of a send; say so rather than lose it.
        qWarning("tarnel: send failed unexpectedly: %s", unexpected.what());
        setStatus(QStringLiteral("ERROR:0"));
    }
}

void WakeActions::sendToMarked()
{
    setStatus(QStringLiteral("WAIT"));
    bool allSent = true;
    for (int row : m_model.markedRows())
        allSent = wakeEntry(row) && allSent;
    if (allSent)
        setStatus(QStringLiteral("OK"));
}

bool WakeActions::wakeEntry(int row)
{
    try {
        const AddressEntry& entry = m_model.book().at(row);
        sendMagicPacket(m_sender, entry.mac, entry.host, m_portEdit->text(), m_repeatEdit->text());
        return true;
    } catch (const Failure& failure) {
        showFailure(failure);
        return failure.number() == Failure::TreatedAsSuccess;
    } catch (const std::exception& unexpected) {
        qWarning("tarnel: waking entry %d failed unexpectedly: %s", row, unexpected.what());
        setStatus(QStringLiteral("ERROR:0"));
        return false;
    }
}

void WakeActions::setStatus(const QString& text, const QString& tip)
{
    m_statusLabel->setText(text);
    m_statusLabel->setToolTip(tip);
}

void WakeActions::showFailure(const Failure& failure)
{
    const QString text = statusTextFor(failure);
    setStatus(text, text == QStringLiteral("OK") ? QString() : failure.description());
}
