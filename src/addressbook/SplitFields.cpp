#include "addressbook/SplitFields.h"

#include <algorithm>

namespace {

template <typename Piece, typename MakePiece>
int splitInto(std::span<Piece> pieces, int limit, QStringView text, QStringView delimiter, MakePiece makePiece)
{
    const qsizetype maxPieces = std::min<qsizetype>(limit, qsizetype(pieces.size()));
    qsizetype count = 0;
    qsizetype start = 0;
    qsizetype found = delimiter.isEmpty() ? -1 : text.indexOf(delimiter, start);
    while (found >= 0 && count < maxPieces) {
        pieces[std::size_t(count)] = makePiece(text.sliced(start, found - start));
        ++count;
        start = found + delimiter.size();
        found = text.indexOf(delimiter, start);
    }
    if (count < maxPieces) {
        pieces[std::size_t(count)] = makePiece(text.sliced(start));
        ++count;
    }
    return int(count);
}

} // namespace

int splitFields(std::span<QString> pieces, int limit, const QString& text, const QString& delimiter)
{
    return splitInto(pieces, limit, text, delimiter, [](QStringView piece) { return piece.toString(); });
}

int splitFields(std::span<QStringView> pieces, int limit, QStringView text, QStringView delimiter)
{
    return splitInto(pieces, limit, text, delimiter, [](QStringView piece) { return piece; });
}
