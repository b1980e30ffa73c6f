#include "cli/WakeTargets.h"

#include "cli/CliText.h"
#include "cli/MacText.h"

namespace {

void note(QHash<QString, int>& names, const QString& name, int row)
{
    const auto it = names.find(name);
    if (it == names.end())
        names.insert(name, row);
    else
        it.value() = -1;
}

} // namespace

WakeTargetFinder::WakeTargetFinder(const AddressBook& book) : m_book(book)
{
    for (int row = 0; row < book.size(); ++row) {
        note(m_exact, book.at(row).name, row);
        note(m_folded, book.at(row).name.toCaseFolded(), row);
    }
}

TargetLookup WakeTargetFinder::find(const QString& text) const
{
    for (const int row : {m_exact.value(text, -2), m_folded.value(text.toCaseFolded(), -2)}) {
        if (row == -1)
            return {std::nullopt, CliText::tr("\"%1\" names more than one computer of the address book.").arg(text)};
        if (row >= 0) {
            const AddressEntry& entry = m_book.at(row);
            return {WakeTarget{entry.name, entry.mac, entry.host, true}, {}};
        }
    }
    if (const std::optional<std::array<QString, 6>> mac = parseMacText(text))
        return {WakeTarget{macDisplayText(*mac), *mac, QStringLiteral("255.255.255.255"), false}, {}};
    return {std::nullopt, CliText::tr("\"%1\" is neither a computer of the address book nor a MAC address.").arg(text)};
}
