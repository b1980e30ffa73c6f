#include "addressbook/AddressBook.h"

#include "core/Failure.h"

#include <algorithm>

AddressBook& AddressBook::operator=(const AddressBook& other)
{
    if (this != &other) {
        m_entries = other.m_entries;
        m_revision = std::max(m_revision, other.m_revision) + 1;
    }
    return *this;
}

AddressBook& AddressBook::operator=(AddressBook&& other) noexcept
{
    if (this != &other) {
        m_entries = std::move(other.m_entries);
        other.m_entries.clear();
        m_revision = std::max(m_revision, other.m_revision) + 1;
        ++other.m_revision;
    }
    return *this;
}

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
    ++m_revision;
    return true;
}

void AddressBook::replace(int index, AddressEntry entry)
{
    checkIndex(index);
    m_entries[std::size_t(index)] = std::move(entry);
    ++m_revision;
}

void AddressBook::removeAt(int index)
{
    checkIndex(index);
    m_entries.erase(m_entries.begin() + index);
    ++m_revision;
}

void AddressBook::clear()
{
    m_entries.clear();
    ++m_revision;
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
