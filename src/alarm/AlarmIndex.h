#pragma once

#include <QStringView>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

class AddressBook;

// The answer of AlarmMatches() without walking the whole book on every tick:
// the entries are grouped by alarm time once, and grouped again only after the
// book has changed. A tick then costs two lookups, whatever the book's size.
class AlarmIndex {
public:
    // Same result, same order as AlarmMatches(book, currentMinute, weekday).
    std::vector<int> matches(const AddressBook& book, QStringView currentMinute, int weekday);

    // How often the grouping has been built; lets tests see that an unchanged
    // book is not walked again.
    int rebuildCount() const { return m_rebuildCount; }

private:
    void rebuildIfStale(const AddressBook& book);

    // Entry indexes in book order, per slot, for each time hh:mm held as the
    // number hhmm. Only times of that form are kept: nothing else can match.
    std::unordered_map<int, std::array<std::vector<int>, 8>> m_byMinute;

    // Which book, in which state, the grouping was built from. The address is
    // compared, never followed.
    const AddressBook* m_book = nullptr;
    std::uint64_t m_revision = 0;
    int m_size = -1;
    int m_rebuildCount = 0;
};
