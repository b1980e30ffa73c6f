#include "core/AtomicFile.h"

#include <QSaveFile>

#include <algorithm>

namespace {

constexpr qint64 ChunkBytes = qint64(1) << 20;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// `nextChunk(buffer)` fills the buffer with the next bytes and returns how many
// (0 at the end), or returns -1 after setting the error itself.
template <typename NextChunk> bool writeChunks(const QString& path, QString* error, NextChunk nextChunk)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so a short write (a full disk, a file-size limit) shows in
    // the count written here instead of being lost in a later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, file.errorString());
        return false;
    }
    for (;;) {
        QByteArrayView chunk;
        const qint64 got = nextChunk(chunk);
        if (got < 0) {
            file.cancelWriting();
            return false;
        }
        if (got == 0)
            break;
        if (file.write(chunk.data(), chunk.size()) != chunk.size()) {
            setError(error,
                     file.error() == QFileDevice::NoError ? QStringLiteral("the disk is full") : file.errorString());
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    bool written = false;
    return writeChunks(path, error, [&](QByteArrayView& chunk) -> qint64 {
        if (written)
            return 0;
        written = true;
        chunk = bytes;
        return chunk.size();
    });
}

bool writeFileAtomically(const QString& path, QIODevice& source, QString* error)
{
    QByteArray buffer(ChunkBytes, Qt::Uninitialized);
    return writeChunks(path, error, [&](QByteArrayView& chunk) -> qint64 {
        const qint64 got = source.read(buffer.data(), ChunkBytes);
        if (got < 0)
            setError(error, source.errorString());
        chunk = QByteArrayView(buffer.constData(), qsizetype(std::max<qint64>(got, 0)));
        return got;
    });
}
