#include "addressbook/AddressFile.h"

#include "core/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

AddressFile::AddressFile(QString path) : m_path(std::move(path)) {}

QString AddressFile::backupPath() const
{
    return m_path + QStringLiteral(".bak");
}

AddressListLoad AddressFile::load()
{
    AddressListLoad result = readAddressListFile(m_path);
    m_backupPending = !result.complete || result.shiftJis;
    return result;
}

AddressFile::SaveResult AddressFile::save(const AddressBook& book)
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

// Copied in pieces through a temporary file beside the backup, so the copy is whole or absent and a big file is
// never held in memory.
bool AddressFile::backUpOriginal(bool& copied, QString& error) const
{
    copied = false;
    QFile original(m_path);
    if (!original.exists())
        return true; // gone since the load: nothing left to lose
    if (!original.open(QIODevice::ReadOnly)) {
        error = original.errorString();
        return false;
    }
    QSaveFile copy(backupPath());
    copy.setDirectWriteFallback(false);
    // Unbuffered: a short write on a full disk must show here, not be lost in
    // a flush whose failure the commit does not report.
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = copy.errorString();
        return false;
    }
    constexpr qint64 ChunkBytes = 1 << 20;
    while (!original.atEnd()) {
        const QByteArray chunk = original.read(ChunkBytes);
        if (original.error() != QFileDevice::NoError) {
            error = original.errorString();
            copy.cancelWriting();
            return false;
        }
        if (chunk.isEmpty())
            break;
        if (copy.write(chunk) != chunk.size()) {
            error = copy.error() == QFileDevice::NoError ? QStringLiteral("the disk is full") : copy.errorString();
            copy.cancelWriting();
            return false;
        }
    }
    if (!copy.commit()) {
        error = copy.errorString();
        return false;
    }
    copied = true;
    return true;
}
