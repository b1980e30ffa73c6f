// Feeds arbitrary bytes to the address-book reader, then checks that what was read survives a save and a load, and
// that a file saved from it either keeps its bytes (line ends aside) or leaves a byte-identical backup.
#include "addressbook/AddressBookFile.h"
#include "addressbook/AddressListFormat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file layer: the input as address.lst, loaded and saved once.
void checkBackupRule(QByteArrayView bytes)
{
    // In memory where the system has it, so that the syncs of each save cost nothing.
    static QTemporaryDir dir(
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/tarnel-fuzz-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("address.lst"));
    QFile input(path);
    if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        input.write(bytes.data(), bytes.size()) != bytes.size())
        std::abort();
    input.close();

    AddressBookFile file(path);
    const AddressListLoad load = file.load();
    const AddressBookFile::SaveResult saved = file.save(load.book);
    if (!saved.saved)
        std::abort();
    const bool kept = firstDifferentLine(fileBytes(path), bytes) == 0;
    if (saved.backupPath.isEmpty() == !kept || (!kept && fileBytes(saved.backupPath) != bytes))
        std::abort();
    if (!saved.backupPath.isEmpty())
        QFile::remove(saved.backupPath);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const AddressListLoad first = parseAddressList(bytes);
    if (first.book.size() > AddressBook::MaxEntries)
        std::abort();
    for (const AddressEntry& entry : first.book) {
        for (const QString& byte : entry.mac) {
            if (byte.size() != 2)
                std::abort();
        }
    }

    // Whatever was read holds no comma or line break in a field, so it must come back whole, in UTF-8, and its
    // second save must give the same bytes as its first.
    const QByteArray saved = serializeAddressList(first.book);
    const AddressListLoad second = parseAddressList(saved);
    if (!second.complete || second.shiftJis || second.book.size() != first.book.size())
        std::abort();
    for (int i = 0; i < first.book.size(); ++i) {
        if (!(second.book.at(i) == first.book.at(i)))
            std::abort();
    }
    if (serializeAddressList(second.book) != saved)
        std::abort();

    // Cutting at a byte limit keeps whole lines only, never more than the full read.
    const AddressListLoad cut = parseAddressList(bytes, qsizetype(size / 2));
    if (cut.book.size() > first.book.size() || (size > 0 && cut.complete))
        std::abort();

    checkBackupRule(bytes);
    return 0;
}
