#pragma once

#include "addressbook/AddressListFile.h"

#include <QString>

// The address-book file at one path, with what its last load means for the next save.
//
// When the last load did not take the whole file as it stands (a file in another encoding, more lines than the
// book holds, bytes that are not text, a read that failed), the first save after it would lose part of the
// original. So that save first copies the original to "<path>.bak", once, and says so.
class AddressFile {
public:
    struct SaveResult {
        bool saved = false;
        // The original was copied to backupPath() before this save; the window tells the user, once.
        bool backedUp = false;
        // Why the save (or the backup before it) failed; the old file is then untouched.
        QString error;
    };

    explicit AddressFile(QString path);

    const QString& path() const { return m_path; }
    QString backupPath() const;
    // Whether the next save will first copy the original file aside.
    bool backupPending() const { return m_backupPending; }

    AddressListLoad load();
    SaveResult save(const AddressBook& book);

private:
    bool backUpOriginal(bool& copied, QString& error) const;

    QString m_path;
    bool m_backupPending = false;
};
