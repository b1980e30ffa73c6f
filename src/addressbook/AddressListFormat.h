#pragma once

#include "addressbook/AddressBook.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The bytes of the file "address.lst" (reading and writing the file is AddressBookFile's): one line per entry, eleven
// comma-separated fields
//   Name , Mac(0)..mac(5) run together , Alarm(0) , ... , Alarm(7) , Host
// each line ending in CR LF, in UTF-8 (the locale's encoding on Linux). There is no quoting.
// Reading is lenient: short lines give empty fields (the broadcast host when there is no eleventh), surplus
// fields are dropped, and lines may also end in a lone CR or a lone LF.

// Bigger files are read only this far (up to the last line end before it), which still allows 32,767 lines of
// 2,000 bytes.
constexpr qsizetype AddressListMaxBytes = 64 * 1024 * 1024;

struct AddressListLoad {
    AddressBook book;
    // False when the book is not the whole file as it stands: the file could not be opened or failed part-way,
    // it holds more than AddressBook::MaxEntries lines or more than AddressListMaxBytes, or its text is valid
    // neither as UTF-8 nor as Shift-JIS. Saving such a book would lose part of the file.
    bool complete = true;
    // The text was read as Shift-JIS (code page 932), the encoding of files from Japanese Windows.
    bool shiftJis = false;
    // Why the load is not complete, for people.
    QString problem;
};

// The entries of a file's bytes. `byteLimit` is AddressListMaxBytes but for tests.
AddressListLoad parseAddressList(QByteArrayView bytes, qsizetype byteLimit = AddressListMaxBytes);

// Marks a load as not the whole file; the first problem is the one kept.
void markIncomplete(AddressListLoad& load, const QString& problem);

// One entry's line, without the line end.
QString addressLine(const AddressEntry& entry);

// The whole file for a book: every line ends with CR LF; an empty book is zero bytes.
QByteArray serializeAddressList(const AddressBook& book);

// The number (from 1) of the first line in which two files' bytes differ when CR LF and LF count as the same line
// end, or 0 when they do not differ.
qsizetype firstDifferentLine(QByteArrayView a, QByteArrayView b);
