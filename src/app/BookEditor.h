#pragma once

#include "addressbook/AddressBookFile.h"

#include <QObject>
#include <array>

class AddressBookModel;
class Dialogs;
class LimitedLineEdit;
class MainForm;
class QComboBox;
class QWidget;

// Editing the address book: choosing a computer fills the boxes from its
// entry; add, change and delete store the boxes into the book, ask what they
// need first and save the file after every edit; the mark buttons mark or
// unmark every computer for a batch; "クリア" empties the alarm boxes.
class BookEditor : public QObject {
    Q_OBJECT
public:
    BookEditor(const MainForm& form, AddressBookModel& model, Dialogs& dialogs, const QString& filePath,
               QWidget* window);

    // Reads the file and chooses its first computer; says so when the name
    // stands for something that is not an ordinary file.
    void load();

    void showChosen();
    void addComputer();
    void changeComputer();
    void deleteComputer();
    void markAll();
    void unmarkAll();
    void clearAlarms();

private:
    // Chooses a computer as the program does, which fills the boxes.
    void choose(int row);
    AddressEntry entryFromBoxes(const QString& name) const;
    // Warns and returns true when a text could not be stored in the file.
    bool refuseUnstorable(const QString& name);
    // Saves the book; says once where the original was kept, and why; says so when the save fails.
    void save();
    QString backupMessage(const AddressBookFile::SaveResult& result) const;

    AddressBookModel& m_model;
    Dialogs& m_dialogs;
    AddressBookFile m_file;
    QWidget* m_window;
    QComboBox* m_computerCombo;
    LimitedLineEdit* m_hostEdit;
    std::array<LimitedLineEdit*, 6> m_macEdits;
    std::array<LimitedLineEdit*, 8> m_alarmEdits;
};
