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

// Finds the computers that texts name in one book; an exact name in constant
// time, so that waking hundreds of names costs what sending to them does.
class WakeTargetFinder {
public:
    explicit WakeTargetFinder(const AddressBook& book);

    // The computer `text` names: the entry of that exact name, else the one
    // entry whose name matches without regard to case, else a MAC address in
    // any of the forms parseMacText takes. Names shared by several entries are
    // refused as ambiguous rather than guessed.
    TargetLookup find(const QString& text) const;

private:
    static constexpr int Ambiguous = -1;
    static constexpr int NotFound = -2;
    // The row of the one entry of that name, Ambiguous or NotFound.
    int walk(const QString& text, Qt::CaseSensitivity sensitivity) const;
    int exactRow(const QString& text) const;

    const AddressBook& m_book;
    // Each name to its entry, or Ambiguous when several have it; made at the second lookup.
    mutable QHash<QString, int> m_exact;
    mutable int m_lookups = 0;
};
