#include "addressbook/AddressBookFile.h"

#include <cerrno>

AddressBookFile::AddressBookFile(QString path) : m_path(std::move(path)) {}

AddressListLoad readAddressListFile(const QString& path, UserFileRead* file)
{
    // One byte past the limit tells a file of exactly the limit from a bigger one.
    UserFileRead read = readUserFile(path, AddressListMaxBytes + 1);
    AddressListLoad load;
    if (read.kind != UserFileRead::Missing) {
        load = parseAddressList(read.bytes);
        if (read.kind == UserFileRead::NotOrdinary)
            markIncomplete(load, fileErrorText(NotOrdinaryFile));
        else if (read.error != 0)
            markIncomplete(load, fileErrorText(read.error));
    }
    if (file)
        *file = std::move(read);
    return load;
}

AddressListLoad AddressBookFile::load()
{
    m_pending = Change::None;
    m_firstChangedLine = 0;
    UserFileRead read;
    AddressListLoad load = readAddressListFile(m_path, &read);
    m_notOrdinary = read.kind == UserFileRead::NotOrdinary;
    if (read.kind == UserFileRead::Missing)
        return load;
    if (!load.complete) {
        m_pending = Change::NotWhole;
    } else if (load.shiftJis) {
        m_pending = Change::FromShiftJis;
    } else {
        m_firstChangedLine = firstDifferentLine(read.bytes, serializeAddressList(load.book));
        m_pending = m_firstChangedLine > 0 ? Change::Reshaped : Change::None;
    }
    return load;
}

AddressBookFile::SaveResult AddressBookFile::save(const AddressBook& book)
{
    SaveResult result;
    if (m_pending != Change::None) {
        result.error = backUpUserFile(m_path, &result.backupPath);
        // Gone since the load: nothing is left to lose.
        if (result.error == ENOENT)
            result.error = 0;
        m_notOrdinary = result.error == NotOrdinaryFile;
        // Without the copy the save would destroy the only whole version of the file.
        if (result.error != 0)
            return result;
        result.change = result.backupPath.isEmpty() ? Change::None : m_pending;
        m_pending = Change::None;
    }
    result.error = replaceUserFile(m_path, serializeAddressList(book));
    m_notOrdinary = result.error == NotOrdinaryFile;
    result.saved = result.error == 0;
    return result;
}
