#pragma once

#include <QObject>

class QSystemTrayIcon;
class QTimer;
class QWidget;

// The window's place in the desktop's notification area. While the icon is
// there, the window has no taskbar button and can be hidden; without a
// notification area (none at all, or none yet) the window keeps its taskbar
// button and is minimised instead, so there is always a way back. A left click
// on the icon brings the window up; there is no menu.
class TrayPresence : public QObject {
    Q_OBJECT
public:
    static constexpr int WatchIntervalMs = 3000;

    TrayPresence(QWidget* window, bool useTray);

    // Puts the icon into the notification area and starts watching for one
    // that appears or restarts later.
    void showIcon();
    void removeIcon();
    bool iconShown() const;
    // From now on a window hidden in a notification area that goes away is
    // shown again; before start-up has decided, it is left alone.
    void setWindowLoaded() { m_windowLoaded = true; }

    // Hides the window when the icon can bring it back, else minimises it.
    void putAway();
    // Shows the window where it last was, in front and active.
    void bringUp();

private:
    void followTray();

    QWidget* m_window;
    bool m_useTray;
    bool m_windowLoaded = false;
    bool m_trayWasAvailable = false;
    QSystemTrayIcon* m_icon = nullptr;
    QTimer* m_watch = nullptr;
};
