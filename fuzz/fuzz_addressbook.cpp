// Feeds arbitrary bytes to the address-book reader, then checks that what was read survives a save and a load.
#include "addressbook/AddressListFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
    return 0;
}
