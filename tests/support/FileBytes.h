#pragma once

#include <QFile>

// A file's bytes, or "<unreadable>" when it cannot be opened.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
