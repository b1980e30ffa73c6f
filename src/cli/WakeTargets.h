#pragma once

#include "addressbook/AddressBook.h"

#include <QHash>
#include <QString>
#include <array>
#include <optional>

// A computer to wake: from the address book, or a MAC address given as it is.
struct WakeTarget {
    QString name;
    std::array<QString, 6> mac;
    // The entry's host; the limited broadcast address for a bare MAC address.
    QString host;
    bool fromBook = false;
};

struct TargetLookup {
    std::optional<WakeTarget> target;
    // Why `text` names no computer, for people.
    QString error;
};

// Finds the computers that texts name in one book, each in constant time, so
// that waking hundreds of names costs what sending to them does.
class WakeTargetFinder {
public:
    explicit WakeTargetFinder(const AddressBook& book);

    // The computer `text` names: the entry of that exact name, else the one
    // entry whose name matches without regard to case, else a MAC address in
    // any of the forms parseMacText takes. Names shared by several entries are
    // refused as ambiguous rather than guessed.
    TargetLookup find(const QString& text) const;

private:
    const AddressBook& m_book;
    // Each name (and each case-folded name) to its first entry, or -1 when several have it.
    QHash<QString, int> m_exact, m_folded;
};
