#include "app/TrayPresence.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

TrayPresence::TrayPresence(QWidget* window, bool useTray) : QObject(window), m_window(window), m_useTray(useTray) {}

void TrayPresence::showIcon()
{
    if (!m_useTray)
        return;
    m_icon = new QSystemTrayIcon(m_window->windowIcon(), this);
    m_icon->setObjectName(QStringLiteral("trayIcon"));
    m_icon->setToolTip(m_window->windowTitle());
    // Only a left-button press brings the window up; a double click acts
    // through its first press.
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            bringUp();
    });
    m_icon->show();
    m_trayWasAvailable = iconShown();
    followTray();
    m_watch = new QTimer(this);
    m_watch->setInterval(WatchIntervalMs);
    connect(m_watch, &QTimer::timeout, this, &TrayPresence::followTray);
    m_watch->start();
}

void TrayPresence::removeIcon()
{
    if (m_watch)
        m_watch->stop();
    if (m_icon)
        m_icon->hide();
}

bool TrayPresence::iconShown() const
{
    return m_icon && m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayPresence::putAway()
{
    followTray();
    if (iconShown())
        m_window->hide();
    else
        m_window->showMinimized();
}

void TrayPresence::bringUp()
{
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

// The icon goes back into a notification area that appears or restarts, and
// the window gives up or takes back its taskbar button.
void TrayPresence::followTray()
{
    const bool available = iconShown();
    // A notification area that has come back may have missed the icon's own
    // attempt to register with it (a watcher that takes its bus name before it
    // can answer): the icon registers once more.
    if (available && !m_trayWasAvailable) {
        m_icon->hide();
        m_icon->show();
    }
    m_trayWasAvailable = available;
    const Qt::WindowType wanted = available ? Qt::Tool : Qt::Window;
    if (m_window->windowType() == wanted)
        return;
    const bool wasVisible = m_window->isVisible();
    const QPoint position = m_window->pos();
    m_window->setWindowFlags(wanted | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_window->move(position);
    // A window hidden in a notification area that has gone would be lost:
    // it comes back with its taskbar button.
    if (wasVisible || (!available && m_windowLoaded))
        m_window->show();
}
