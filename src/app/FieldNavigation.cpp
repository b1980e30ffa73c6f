#include "app/FieldNavigation.h"

#include "app/LimitedLineEdit.h"
#include "app/MainForm.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

FieldNavigation::FieldNavigation(const MainForm& form, QObject* parent)
    : QObject(parent), m_computerCombo(form.computerCombo())
{
    QList<QObject*> watched = {m_computerCombo, form.hostEdit(), form.portEdit(), form.repeatEdit()};
    for (LimitedLineEdit* edit : form.macEdits())
        watched.append(edit);
    for (LimitedLineEdit* edit : form.alarmEdits()) {
        watched.append(edit);
        m_alarmEdits.insert(edit);
    }
    for (QObject* object : watched)
        object->installEventFilter(this);
}

void FieldNavigation::selectWhole(QLineEdit* edit)
{
    edit->setSelection(0, int(edit->text().size()));
}

namespace {

// The focus moved between the window's own controls (by Tab, Enter, a click or
// the program), not just away from the window or to a menu and back.
bool movedWithinWindow(QEvent* event)
{
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

bool FieldNavigation::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && movedWithinWindow(event))
            selectWhole(edit);
        break;
    case QEvent::FocusOut:
        if (m_alarmEdits.contains(watched) && movedWithinWindow(event)) {
            auto* edit = static_cast<QLineEdit*>(watched);
            if (edit->text().isEmpty())
                edit->setText(MainForm::EmptyAlarm);
        }
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            queueTab();
        break;
    }
    case QEvent::Wheel:
        if (watched == m_computerCombo && !m_computerCombo->hasFocus()) {
            event->ignore();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FieldNavigation::queueTab()
{
    // The Tab goes to whichever control has the focus when it is handled,
    // after the key has been handled, exactly as a typed Tab would.
    QMetaObject::invokeMethod(
        this,
        [] {
            if (QWidget* focus = QApplication::focusWidget()) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
                QCoreApplication::sendEvent(focus, &press);
            }
        },
        Qt::QueuedConnection);
}
