#include "addressbook/AddressBook.h"

#include "core/Failure.h"

#include <algorithm>

const AddressEntry& AddressBook::at(int index) const
{
    checkIndex(index);
    return m_entries[std::size_t(index)];
}

bool AddressBook::append(AddressEntry entry)
{
    if (isFull())
        return false;
    m_entries.push_back(std::move(entry));
    return true;
}

void AddressBook::replace(int index, AddressEntry entry)
{
    checkIndex(index);
    m_entries[std::size_t(index)] = std::move(entry);
}

void AddressBook::removeAt(int index)
{
    checkIndex(index);
    m_entries.erase(m_entries.begin() + index);
}

void AddressBook::clear()
{
    m_entries.clear();
}

void AddressBook::reserve(int count)
{
    m_entries.reserve(std::size_t(std::clamp(count, 0, MaxEntries)));
}

void AddressBook::checkIndex(int index) const
{
    if (index < 0 || index >= size())
        throw Failure::subscriptOutOfRange(QStringLiteral("AddressBook %1 / %2").arg(index).arg(size()));
}
