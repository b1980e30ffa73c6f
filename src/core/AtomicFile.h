#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Replaces a file whole: the bytes go to a temporary file beside it, written
// unbuffered, which is synced and then renamed over the target, so a crash or
// a full disk never leaves half a file. On failure the old file is untouched
// and `error` (when given) says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// The same with the bytes read from `source` to its end, a piece at a time, so
// a big file is never held whole in memory. A read that fails commits nothing.
bool writeFileAtomically(const QString& path, QIODevice& source, QString* error = nullptr);
