#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <array>

class LimitedLineEdit;
class QCheckBox;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;
class QWidget;

// The widgets of the main window: their geometry, fonts, colours and captions,
// built one section at a time into the window. Every widget's objectName is
// its role name, as its accessor is called.
class MainForm {
public:
    static constexpr int MacBoxes = 6;
    // Slot 0 is every day, slot k (1..7) weekday k with Sunday as 1.
    static constexpr int AlarmSlots = 8;
    static const QString EmptyAlarm;

    explicit MainForm(QWidget* window);

    QComboBox* computerCombo() const { return m_computerCombo; }
    LimitedLineEdit* hostEdit() const { return m_hostEdit; }
    const std::array<LimitedLineEdit*, MacBoxes>& macEdits() const { return m_macEdits; }
    const std::array<LimitedLineEdit*, AlarmSlots>& alarmEdits() const { return m_alarmEdits; }
    LimitedLineEdit* portEdit() const { return m_portEdit; }
    LimitedLineEdit* repeatEdit() const { return m_repeatEdit; }
    QCheckBox* startInTrayCheck() const { return m_startInTrayCheck; }
    QListView* batchList() const { return m_batchList; }
    QLabel* statusLabel() const { return m_statusLabel; }
    QLabel* clockLabel() const { return m_clockLabel; }

    QPushButton* sendButton() const { return m_sendButton; }
    QPushButton* fetchMacButton() const { return m_fetchMacButton; }
    QPushButton* addButton() const { return m_addButton; }
    QPushButton* changeButton() const { return m_changeButton; }
    QPushButton* deleteButton() const { return m_deleteButton; }
    QPushButton* clearAlarmsButton() const { return m_clearAlarmsButton; }
    QPushButton* batchSendButton() const { return m_batchSendButton; }
    QPushButton* markAllButton() const { return m_markAllButton; }
    QPushButton* unmarkAllButton() const { return m_unmarkAllButton; }
    QPushButton* quitButton() const { return m_quitButton; }
    QPushButton* hideButton() const { return m_hideButton; }

    // The heading of the batch list gets its hint once the window is loaded.
    void showBatchListHint();
    // Keeps the texts coloured on the window's background readable in the
    // window's palette, light or dark; called again when the palette changes.
    void followPalette();

private:
    void buildBanner();
    void buildSettings();
    void buildComputer();
    void buildAlarms();
    void buildBatch();
    void buildFooter();
    void setTabOrder();
    void nameForScreenReaders();

    QWidget* m_window;
    QLabel* m_batchHeading = nullptr;
    struct ColouredText {
        QLabel* label;
        QColor colour;
    };
    QList<ColouredText> m_colouredTexts;
    QComboBox* m_computerCombo = nullptr;
    LimitedLineEdit* m_hostEdit = nullptr;
    std::array<LimitedLineEdit*, MacBoxes> m_macEdits{};
    std::array<LimitedLineEdit*, AlarmSlots> m_alarmEdits{};
    LimitedLineEdit* m_portEdit = nullptr;
    LimitedLineEdit* m_repeatEdit = nullptr;
    QCheckBox* m_startInTrayCheck = nullptr;
    QListView* m_batchList = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_clockLabel = nullptr;
    QPushButton* m_sendButton = nullptr;
    QPushButton* m_fetchMacButton = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_changeButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_clearAlarmsButton = nullptr;
    QPushButton* m_batchSendButton = nullptr;
    QPushButton* m_markAllButton = nullptr;
    QPushButton* m_unmarkAllButton = nullptr;
    QPushButton* m_quitButton = nullptr;
    QPushButton* m_hideButton = nullptr;
};
