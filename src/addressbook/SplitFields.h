#pragma once

#include <QString>
#include <QStringView>
#include <span>

// Cuts `text` at each `delimiter` into pieces[0], pieces[1], ... and returns how many pieces it wrote.
// With d delimiters in the text it writes d + 1 pieces, or exactly `limit` pieces when d >= limit (the text after
// the limit-th delimiter is dropped). Slots beyond the pieces written keep what they held.
// Never writes past `pieces`, whatever `limit` says; an empty delimiter is never found.
// The pieces are views into `text`.
int splitFields(std::span<QStringView> pieces, int limit, QStringView text, QStringView delimiter);
