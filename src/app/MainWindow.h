#pragma once

#include "app/MacAddressFetch.h"
#include "settingsfile/SettingsFile.h"

#include <QString>
#include <QWidget>
#include <memory>

class AddressBook;
class AddressBookModel;
class AlarmTimer;
class BookEditor;
class Clock;
class DatagramSender;
class Dialogs;
class FieldNavigation;
class MainForm;
class TrayPresence;
class WakeActions;

// What the window works with, handed in so tests can replace the network,
// the clock, the boxes and the folder of the files.
struct AppServices {
    DatagramSender* sender = nullptr;
    const Clock* clock = nullptr;
    Dialogs* dialogs = nullptr;
    QString dataDir;
    // Whether to use the notification area when the desktop has one.
    bool useTray = true;
    // The MAC lookup of "MACアドレス 取得"; the NetBIOS lookup when empty.
    MacAddressFetch::Lookup macLookup;
};

// The main window: builds the form and the parts that act on it, wires them,
// and runs start-up and shutdown in their order. The boxes of the form are the
// only store of the current computer and of the settings.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(const AppServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Centres the window, puts the icon into the notification area, reads the
    // settings and the address book, and shows the window unless it starts in
    // the notification area.
    void start();
    // Removes the icon and saves the settings; runs once, whichever way the
    // program ends. The address book is saved after every edit instead.
    void shutdown();
    // Shuts down and ends the program.
    void quit();

    const AddressBook& addressBook() const;
    bool trayIconShown() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void wire();
    // The port, the repeat count and the start-in-tray choice as the form shows them.
    SettingsValues shownSettings() const;
    void loadSettings();
    void saveSettings();
    QString settingsPath() const;

    AppServices m_services;
    std::unique_ptr<MainForm> m_form;
    AddressBookModel* m_model;
    WakeActions* m_wake;
    BookEditor* m_editor;
    AlarmTimer* m_alarmTimer;
    FieldNavigation* m_navigation;
    TrayPresence* m_tray;
    MacAddressFetch* m_macFetch;
    bool m_shutDown = false;
};
