#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file whole: the bytes go to a temporary file beside it, which is
// synced and then renamed over the target, so a crash or a full disk never
// leaves half a file. On failure the old file is untouched and `error` (when
// given) says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
