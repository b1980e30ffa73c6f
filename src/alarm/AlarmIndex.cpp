#include "alarm/AlarmIndex.h"

#include "addressbook/AddressBook.h"
#include "alarm/AlarmRules.h"

namespace {

int minuteKey(QStringView minute)
{
    const auto digit = [&](int i) { return minute[i].unicode() - u'0'; };
    return digit(0) * 1000 + digit(1) * 100 + digit(3) * 10 + digit(4);
}

} // namespace

std::vector<int> AlarmIndex::matches(const AddressBook& book, QStringView currentMinute, int weekday)
{
    std::vector<int> result;
    if (!isClockMinute(currentMinute))
        return result;
    rebuildIfStale(book);
    const auto found = m_byMinute.find(minuteKey(currentMinute));
    if (found == m_byMinute.end())
        return result;
    const auto& slots = found->second;
    result = slots[0];
    if (weekday >= 1 && weekday <= 7)
        result.insert(result.end(), slots[std::size_t(weekday)].begin(), slots[std::size_t(weekday)].end());
    return result;
}

void AlarmIndex::rebuildIfStale(const AddressBook& book)
{
    if (m_book == &book && m_revision == book.revision() && m_size == book.size())
        return;
    m_byMinute.clear();
    int index = 0;
    for (const AddressEntry& entry : book) {
        for (std::size_t slot = 0; slot < entry.alarms.size(); ++slot) {
            if (isClockMinute(entry.alarms[slot]))
                m_byMinute[minuteKey(entry.alarms[slot])][slot].push_back(index);
        }
        ++index;
    }
    m_book = &book;
    m_revision = book.revision();
    m_size = book.size();
    ++m_rebuildCount;
}
