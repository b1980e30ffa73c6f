#include "addressbook/AddressBookFile.h"

#include "core/AtomicFile.h"

#include <QFile>

#include <algorithm>

AddressBookFile::AddressBookFile(QString path) : m_path(std::move(path)) {}

QString AddressBookFile::backupPath() const
{
    return m_path + QStringLiteral(".bak");
}

AddressListLoad AddressBookFile::load()
{
    m_backupPending = false;
    QFile file(m_path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        AddressListLoad load;
        markIncomplete(load, file.errorString());
        m_backupPending = true;
        return load;
    }
    // One byte past the limit tells a file of exactly the limit from a bigger one.
    constexpr qint64 MostBytes = AddressListMaxBytes + 1;
    QByteArray bytes;
    bytes.reserve(qsizetype(std::clamp<qint64>(file.size(), 0, AddressListMaxBytes) + 1));
    bool readFailed = false;
    while (bytes.size() < MostBytes) {
        const qsizetype before = bytes.size();
        const qint64 chunk = std::min<qint64>(MostBytes - before, qint64(1) << 20);
        bytes.resize(before + qsizetype(chunk));
        const qint64 got = file.read(bytes.data() + before, chunk);
        bytes.resize(before + qsizetype(std::max<qint64>(got, 0)));
        if (got <= 0) {
            readFailed = got < 0;
            break;
        }
    }

    AddressListLoad load = parseAddressList(bytes);
    if (readFailed)
        markIncomplete(load, file.errorString());
    m_backupPending = !load.complete || load.shiftJis;
    return load;
}

AddressBookFile::SaveResult AddressBookFile::save(const AddressBook& book)
{
    SaveResult result;
    if (m_backupPending) {
        QString error;
        if (!backUpOriginal(result.backedUp, error)) {
            // Without the copy the save would destroy the only whole version of the file.
            result.error = QStringLiteral("Could not back up %1 to %2: %3").arg(m_path, backupPath(), error);
            return result;
        }
        m_backupPending = false;
    }

    QString error;
    if (!writeFileAtomically(m_path, serializeAddressList(book), &error)) {
        result.error = QStringLiteral("Could not save %1: %2").arg(m_path, error);
        return result;
    }
    result.saved = true;
    return result;
}

bool AddressBookFile::backUpOriginal(bool& copied, QString& error) const
{
    copied = false;
    QFile original(m_path);
    if (!original.exists())
        return true; // gone since the load: nothing left to lose
    if (!original.open(QIODevice::ReadOnly)) {
        error = original.errorString();
        return false;
    }
    copied = writeFileAtomically(backupPath(), original, &error);
    return copied;
}
