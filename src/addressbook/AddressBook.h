#pragma once

#include "addressbook/AddressEntry.h"

#include <vector>

// The ordered store of entries, indexed from 0 in file order and then in the order entries were added.
// Nothing sorts it. Indexes are 16-bit in the window's lists, hence the limit.
class AddressBook {
public:
    static constexpr int MaxEntries = 32767;

    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    bool isFull() const { return size() >= MaxEntries; }

    // Throws Failure (subscript out of range) for an index outside 0..size()-1.
    const AddressEntry& at(int index) const;

    // False, and nothing changes, when the book already holds MaxEntries entries.
    bool append(AddressEntry entry);
    // Throw Failure (subscript out of range) for an index outside 0..size()-1; the later entries move down by one
    // place on removal.
    void replace(int index, AddressEntry entry);
    void removeAt(int index);
    void clear();
    // Room for `count` entries (at most MaxEntries); not a change.
    void reserve(int count);

    std::vector<AddressEntry>::const_iterator begin() const { return m_entries.begin(); }
    std::vector<AddressEntry>::const_iterator end() const { return m_entries.end(); }

private:
    void checkIndex(int index) const;

    std::vector<AddressEntry> m_entries;
};
