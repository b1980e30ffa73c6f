#include "cli/WakeTargets.h"

#include "cli/CliText.h"
#include "cli/MacText.h"

namespace {

// The entries whose names match, at most two: one is an answer, two are ambiguous.
QList<const AddressEntry*> matching(const AddressBook& book, const QString& text, Qt::CaseSensitivity sensitivity)
{
    QList<const AddressEntry*> found;
    for (const AddressEntry& entry : book) {
        if (entry.name.compare(text, sensitivity) == 0 && found.size() < 2)
            found.append(&entry);
    }
    return found;
}

} // namespace

TargetLookup findWakeTarget(const AddressBook& book, const QString& text)
{
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        const QList<const AddressEntry*> found = matching(book, text, sensitivity);
        if (found.size() > 1)
            return {std::nullopt, CliText::tr("\"%1\" names more than one computer of the address book.").arg(text)};
        if (found.size() == 1)
            return {WakeTarget{found.front()->name, found.front()->mac, found.front()->host, true}, {}};
    }
    if (const std::optional<std::array<QString, 6>> mac = parseMacText(text))
        return {WakeTarget{macDisplayText(*mac), *mac, QStringLiteral("255.255.255.255"), false}, {}};
    return {std::nullopt, CliText::tr("\"%1\" is neither a computer of the address book nor a MAC address.").arg(text)};
}
