#pragma once

#include "addressbook/AddressListFormat.h"
#include "core/UserFile.h"

#include <QString>

// Reads the address-book file at `path` within its bounds, as AddressBookFile::load does, for a program that only
// reads it; `file`, when given, gets what was read.
AddressListLoad readAddressListFile(const QString& path, UserFileRead* file = nullptr);

// The address-book file at one path: reading it within its bounds, and saving it whole or not at all.
//
// Nothing in the file is lost without a copy. When the book as loaded would not write back the file as it stands
// (line ends aside), the first save after the load first keeps the original under a new backup name (see
// backUpUserFile), and says why. A name that stands for anything but an ordinary file is neither read nor
// replaced.
class AddressBookFile {
public:
    // Why the first save keeps a copy of the original.
    enum class Change {
        None,
        // The file could not be opened or read whole, holds more than the book takes, or is not text.
        NotWhole,
        // The text was read as Shift-JIS, and is saved as UTF-8.
        FromShiftJis,
        // A line is written back differently: fields past the eleventh, a longer MAC, a line short of fields,
        // a lone CR as line end, a missing last line end…
        Reshaped,
    };

    struct SaveResult {
        bool saved = false;
        // Where the original was kept before this save, when it was; the window tells the user, once.
        QString backupPath;
        Change change = Change::None;
        // Why the save (or the backup before it) failed; the old file is then untouched.
        FileError error = 0;
    };

    explicit AddressBookFile(QString path);

    const QString& path() const { return m_path; }
    // The name stood for something other than an ordinary file at the last load or save.
    bool notOrdinary() const { return m_notOrdinary; }
    // What the first save will keep a copy for.
    Change pendingChange() const { return m_pending; }
    // The first line that the save would write differently, for Change::Reshaped.
    qsizetype firstChangedLine() const { return m_firstChangedLine; }

    // A missing file is an empty, complete book; a file that cannot be opened, or is not an ordinary file, an
    // empty, incomplete one. Only the first AddressListMaxBytes (and one more, to tell a bigger file) are read.
    AddressListLoad load();
    SaveResult save(const AddressBook& book);

private:
    QString m_path;
    Change m_pending = Change::None;
    qsizetype m_firstChangedLine = 0;
    bool m_notOrdinary = false;
};
