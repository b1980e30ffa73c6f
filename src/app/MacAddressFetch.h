#pragma once

#include <QObject>
#include <array>
#include <functional>

class Dialogs;
class LimitedLineEdit;
class MainForm;
class QWidget;

// "MACアドレス 取得": asks which computer, looks its adapter address up and
// puts it into the six MAC boxes.
class MacAddressFetch : public QObject {
    Q_OBJECT
public:
    // Twelve hexadecimal digits for a computer's name or address, or the empty text.
    using Lookup = std::function<QString(const QString& computer)>;

    MacAddressFetch(const MainForm& form, Dialogs& dialogs, Lookup lookup, QWidget* window);

    void fetchMac();

private:
    Dialogs& m_dialogs;
    Lookup m_lookup;
    QWidget* m_window;
    std::array<LimitedLineEdit*, 6> m_macEdits;
};
