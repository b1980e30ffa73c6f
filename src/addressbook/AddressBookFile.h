#pragma once

#include "addressbook/AddressListFormat.h"

#include <QString>

// The address-book file at one path: reading it within its bounds, and saving it whole or not at all.
//
// When the last load did not take the whole file as it stands (a file in another encoding, more lines than the
// book holds, bytes that are not text, a read that failed), the first save after it would lose part of the
// original. So that save first copies the original to "<path>.bak", once, and says so.
class AddressBookFile {
public:
    struct SaveResult {
        bool saved = false;
        // The original was copied to backupPath() before this save; the window tells the user, once.
        bool backedUp = false;
        // Why the save (or the backup before it) failed; the old file is then untouched.
        QString error;
    };

    explicit AddressBookFile(QString path);

    const QString& path() const { return m_path; }
    QString backupPath() const;

    // A missing file is an empty, complete book; a file that cannot be opened is an empty, incomplete one. Only
    // the first AddressListMaxBytes (and one more, to tell a bigger file) are read.
    AddressListLoad load();
    SaveResult save(const AddressBook& book);

private:
    bool backUpOriginal(bool& copied, QString& error) const;

    QString m_path;
    bool m_backupPending = false;
};
