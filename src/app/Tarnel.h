#pragma once

#include "addressbook/AddressBook.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSystemTrayIcon;
class QTimer;
class Clock;
class DatagramSender;
class Dialogs;
class FieldEdit;
class Failure;
class AddressBookFile;
class AlarmClock;

// What the window works with, handed in so tests can replace the network,
// the clock, the boxes and the folder of the files.
struct TarnelServices {
    DatagramSender* sender = nullptr;
    const Clock* clock = nullptr;
    Dialogs* dialogs = nullptr;
    QString dataDir;
    // Whether to use the notification area when the desktop has one.
    bool useTray = true;
    // The adapter-status query of "MACアドレス 取得"; GetMacAddress when empty.
    std::function<QString(const QString&)> macLookup;
};

// The main window: the editor of the current computer, the view of the
// address book and the status display. Its controls are the only store of the
// current computer and of the settings.
class Tarnel : public QWidget {
    Q_OBJECT
public:
    explicit Tarnel(const TarnelServices& services, QWidget* parent = nullptr);
    ~Tarnel() override;

    // Start-up: centre, icon, settings, address book, captions, shown or hidden.
    // Throws on a failure of its own steps.
    void Form_Load();
    // Shutdown steps, run once whichever way the program ends.
    void Form_Unload();
    // Runs the shutdown steps and ends the program.
    void unload();

    void Command1_Click();
    void Command2_Click();
    void Command5_Click();

    // Address book: reading the file, choosing, editing, batch send, marks.
    void LoadAddressList();
    void SaveAddressList();
    void Combo1_Click();
    void Command3_Click(int index);
    void Command4_Click();
    void Command7_Click(int index);
    void Command8_Click();
    // Sends the Magic Packet of entry `index`; false when it failed (its
    // "ERROR:" text is then in Msg).
    bool WakeEntry(int index);

    const AddressBook& addressBook() const { return m_book; }

    // Keyboard: select on entry, Enter moves on as Tab does, alarm boxes.
    void Text1_GotFocus(int index);
    void Text2_GotFocus(int index);
    void Text2_LostFocus(int index);
    void host_GotFocus();
    void PortNo_GotFocus();
    void Text3_GotFocus();
    void Text1_KeyDown(int index, int keyCode);
    void Text2_KeyDown(int index, int keyCode);
    void Combo1_KeyDown(int keyCode);
    void host_KeyDown(int keyCode);
    void PortNo_KeyDown(int keyCode);
    void Text3_KeyDown(int keyCode);

    // The clock: the date and time in NowStr, and the alarms of the book.
    void Timer1_Timer();

    // Fetches a computer's adapter address into the six address boxes.
    void Command6_Click();

    bool trayIconShown() const;

    // The controls, named as everyone calls them.
    QComboBox* Combo1 = nullptr;
    FieldEdit* host = nullptr;
    std::array<FieldEdit*, 6> Text1{};
    std::array<FieldEdit*, 8> Text2{};
    FieldEdit* PortNo = nullptr;
    FieldEdit* Text3 = nullptr;
    QListWidget* List1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    std::array<QPushButton*, 3> Command3{};
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    std::array<QPushButton*, 2> Command7{};
    QPushButton* Command8 = nullptr;
    std::array<QLabel*, 5> Label1{};
    std::array<QLabel*, 8> Label4{};
    QLabel* Msg = nullptr;
    QLabel* NowStr = nullptr;
    QLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void setStatus(const QString& text, const QString& tip = QString());
    void showFailure(const Failure& failure);
    std::array<QString, 6> macTexts() const;
    void LoadSettings();
    void SaveSettings();
    // Tray icon: registered at start-up, removed at shutdown; without a
    // notification area the window keeps a taskbar button instead.
    void registerTrayIcon();
    void removeTrayIcon();
    void updateTrayPresence();
    void bringUp();
    // Sets the selection of Combo1 as the program does, which runs Combo1_Click.
    void selectEntry(int index);
    void appendListItems(int from);
    bool refuseUnstorable(const QString& name);
    // An entry of the name given and the host, address and alarm boxes.
    AddressEntry entryFromFields(const QString& name) const;
    static void selectWhole(FieldEdit* box);
    // Queues one Tab press, to take effect after the key handler has returned.
    void moveOnIfEnter(int keyCode);

    TarnelServices m_services;
    AddressBook m_book;
    std::unique_ptr<AddressBookFile> m_addressFile;
    std::unique_ptr<AlarmClock> m_alarmClock;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer* m_trayWatch = nullptr;
    bool m_trayWanted = false;
    bool m_loaded = false;
    bool m_unloaded = false;
};
