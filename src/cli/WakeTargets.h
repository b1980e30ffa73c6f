#pragma once

#include "addressbook/AddressBook.h"

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

// The computer `text` names: the entry of that exact name, else the one entry
// whose name matches without regard to case, else a MAC address in any of the
// forms parseMacText takes. Names shared by several entries are refused as
// ambiguous rather than guessed.
TargetLookup findWakeTarget(const AddressBook& book, const QString& text);
