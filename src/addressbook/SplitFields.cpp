#include "addressbook/SplitFields.h"

#include <algorithm>

int splitFields(std::span<QStringView> pieces, int limit, QStringView text, QStringView delimiter)
{
    const qsizetype maxPieces = std::min<qsizetype>(limit, qsizetype(pieces.size()));
    qsizetype count = 0;
    qsizetype start = 0;
    qsizetype found = delimiter.isEmpty() ? -1 : text.indexOf(delimiter, start);
    while (found >= 0 && count < maxPieces) {
        pieces[std::size_t(count)] = text.sliced(start, found - start);
        ++count;
        start = found + delimiter.size();
        found = text.indexOf(delimiter, start);
    }
    if (count < maxPieces) {
        pieces[std::size_t(count)] = text.sliced(start);
        ++count;
    }
    return int(count);
}
