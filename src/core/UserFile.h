#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The files a user keeps (the address book, the settings), read and replaced so that nothing is ever lost:
// - only an ordinary file is read or replaced. A FIFO, a device, a socket or a folder under the file's name is
//   never opened in a way that can block, and never replaced;
// - a symbolic link is followed: the link stays, and its target is replaced in the target's own folder;
// - a file is replaced whole or not at all: the bytes go to a temporary file beside it, which is synced and
//   renamed over it, so a crash or a full disk leaves the old file or the new one;
// - a replaced file keeps its mode (never more permissive) and, when the program runs as root, its owner and
//   group; a new file gets the mode the umask allows.

// Why reading or replacing a file failed: 0 for none, else the system's error number (errno), or
// NotOrdinaryFile.
using FileError = int;
constexpr FileError NotOrdinaryFile = -1;

// The error for people, in Japanese: the common causes in words, any other by its number.
QString fileErrorText(FileError error);

struct UserFileRead {
    enum Kind { Missing, Ordinary, NotOrdinary };
    Kind kind = Missing;
    // At most the bytes asked for, from the start of the file.
    QByteArray bytes;
    // Set when the file exists but could not be opened or failed part-way: `bytes` are then what was read.
    FileError error = 0;
};

// Reads up to `maxBytes` from the start of the file at `path`.
UserFileRead readUserFile(const QString& path, qint64 maxBytes);

// Replaces the file at `path` with `bytes`, or creates it.
FileError replaceUserFile(const QString& path, QByteArrayView bytes);

// Keeps a copy of the ordinary file at `path` beside it (beside the link's target), under the first of
// "<name>.bak", "<name>.bak.1", "<name>.bak.2"… that does not exist; an existing backup is never overwritten.
// The copy has the file's mode and, as root, its owner and group. Gives the copy's path in `backupPath`.
FileError backUpUserFile(const QString& path, QString* backupPath);
