#pragma once

#include <QWidget>
#include <array>

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

// What the window works with, handed in so tests can replace the network,
// the clock, the boxes and the folder of the files.
struct TarnelServices {
    DatagramSender* sender = nullptr;
    const Clock* clock = nullptr;
    Dialogs* dialogs = nullptr;
    QString dataDir;
    // Whether to use the notification area when the desktop has one.
    bool useTray = true;
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

    TarnelServices m_services;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer* m_trayWatch = nullptr;
    bool m_trayWanted = false;
    bool m_unloaded = false;
};
