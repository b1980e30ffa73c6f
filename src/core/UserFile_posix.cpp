#include "core/UserFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The most links followed from one name, as the kernel's own limit.
constexpr int MostLinks = 40;
constexpr qsizetype CopyChunk = qsizetype(1) << 20;
// The most backups kept beside one file.
constexpr int MostBackups = 10000;

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// Follows symbolic links from `path` to a name that is not one, which need not exist.
FileError resolveLinks(QByteArray& path)
{
    for (int hops = 0; hops <= MostLinks; ++hops) {
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(status.st_mode))
            return 0;
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), target.data(), std::size_t(target.size()));
        if (length < 0)
            return errno;
        if (length >= target.size())
            return ENAMETOOLONG;
        target.truncate(qsizetype(length));
        path = target.startsWith('/') ? target : folderOf(path) + '/' + target;
    }
    return ELOOP;
}

// The file a name stands for, with links followed, open for reading when it is an ordinary file.
struct Target {
    QByteArray path;
    UserFileRead::Kind kind = UserFileRead::Missing;
    FileError error = 0;
    int fd = -1;
    struct stat status {};

    explicit Target(const QString& name) : path(QFile::encodeName(name))
    {
        error = resolveLinks(path);
        if (error != 0) {
            kind = UserFileRead::Ordinary; // something is there that cannot be reached
            return;
        }
        // Look before opening, so that a device is not even opened...
        if (::lstat(path.constData(), &status) != 0) {
            if (errno != ENOENT) {
                kind = UserFileRead::Ordinary;
                error = errno;
            }
            return;
        }
        if (!S_ISREG(status.st_mode)) {
            kind = UserFileRead::NotOrdinary;
            return;
        }
        kind = UserFileRead::Ordinary;
        // ...and check again on what was opened, since the name may have been replaced in between. Opening
        // without blocking returns at once even for a FIFO; a link put there since is not followed.
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            error = errno;
            if (error == ELOOP || error == ENXIO)
                kind = UserFileRead::NotOrdinary;
            return;
        }
        if (::fstat(fd, &status) != 0)
            error = errno;
        else if (!S_ISREG(status.st_mode))
            kind = UserFileRead::NotOrdinary;
        if (problem() != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~Target()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    // What keeps the file from being read or replaced, if anything.
    FileError problem() const { return kind == UserFileRead::NotOrdinary ? NotOrdinaryFile : error; }
};

// Reads what is left of `fd` in pieces; false with errno set when a read fails.
template <typename Sink> bool readPieces(int fd, qint64 maxBytes, Sink sink)
{
    QByteArray buffer(qsizetype(std::min<qint64>(CopyChunk, std::max<qint64>(maxBytes, 1))), Qt::Uninitialized);
    for (qint64 left = maxBytes; left > 0;) {
        const ssize_t got = ::read(fd, buffer.data(), std::size_t(std::min<qint64>(left, buffer.size())));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!sink(QByteArrayView(buffer.constData(), qsizetype(got))))
            return false;
        left -= got;
    }
    return true;
}

bool writeAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t put = ::write(fd, bytes.data(), std::size_t(bytes.size()));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = ENOSPC;
            return false;
        }
        bytes = bytes.sliced(qsizetype(put));
    }
    return true;
}

// A new file beside the one it will become, removed again unless it is given its name.
class TempFile {
public:
    // A copy of an existing file starts private and gets the file's mode at the end; a new file gets the
    // mode the umask allows.
    TempFile(const QByteArray& folder, const QByteArray& name, bool replacesExisting)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_path = folder + "/." + name + '.' +
                     QByteArray::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 16) + ".tmp";
            m_fd = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          replacesExisting ? 0600 : 0666);
            if (m_fd >= 0 || errno != EEXIST)
                break;
        }
        if (m_fd < 0)
            m_error = errno;
    }
    ~TempFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_named)
            ::unlink(m_path.constData());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return m_fd; }
    FileError error() const { return m_error; }
    void fail() { m_error = m_error != 0 ? m_error : errno; }

    // Gives the copy the original's owner (where the program may) and mode, and puts it on the disk.
    FileError finish(const struct stat* original)
    {
        if (m_error == 0 && original) {
            mode_t mode = original->st_mode & 0777;
            struct stat own {};
            ::fstat(m_fd, &own);
            if ((own.st_uid != original->st_uid || own.st_gid != original->st_gid) &&
                ::fchown(m_fd, original->st_uid, original->st_gid) != 0)
                mode &= ~mode_t(0070); // another group than the original's: it gets nothing
            if (::fchmod(m_fd, mode) != 0)
                fail();
        }
        if (m_error == 0 && ::fsync(m_fd) != 0)
            fail();
        if (m_fd >= 0 && ::close(m_fd) != 0)
            fail();
        m_fd = -1;
        return m_error;
    }

    // Renames the finished file over `path`.
    FileError replace(const QByteArray& path)
    {
        if (m_error == 0 && ::rename(m_path.constData(), path.constData()) != 0)
            fail();
        m_named = m_error == 0;
        return m_error;
    }

    // Gives the finished file the name `path` unless something has that name already: EEXIST then.
    FileError name(const QByteArray& path)
    {
        if (m_error != 0)
            return m_error;
        if (::renameat2(AT_FDCWD, m_path.constData(), AT_FDCWD, path.constData(), RENAME_NOREPLACE) == 0) {
            m_named = true;
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // A file system that cannot rename without replacing: a second link is just as safe.
        if (::link(m_path.constData(), path.constData()) != 0)
            return errno;
        return 0;
    }

private:
    QByteArray m_path;
    int m_fd = -1;
    FileError m_error = 0;
    bool m_named = false;
};

void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString fileErrorText(FileError error)
{
    switch (error) {
    case NotOrdinaryFile:
        return QStringLiteral("通常のファイルではありません");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスする権限がありません");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空き容量が足りません");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EROFS:
        return QStringLiteral("読み取り専用のファイルシステムです");
    case EISDIR:
        return QStringLiteral("その名前はフォルダです");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    default:
        return QStringLiteral("システムエラー %1").arg(error);
    }
}

UserFileRead readUserFile(const QString& path, qint64 maxBytes)
{
    UserFileRead result;
    const Target target(path);
    result.kind = target.kind;
    result.error = target.error;
    if (target.fd < 0)
        return result;
    result.bytes.reserve(qsizetype(std::clamp<qint64>(target.status.st_size, 0, maxBytes)));
    if (!readPieces(target.fd, maxBytes, [&](QByteArrayView piece) {
            result.bytes.append(piece);
            return true;
        }))
        result.error = errno;
    return result;
}

FileError replaceUserFile(const QString& path, QByteArrayView bytes)
{
    const Target target(path);
    if (target.problem() != 0)
        return target.problem();
    const bool exists = target.kind == UserFileRead::Ordinary;
    TempFile temp(folderOf(target.path), nameOf(target.path), exists);
    if (temp.error() == 0 && !writeAll(temp.fd(), bytes))
        temp.fail();
    temp.finish(exists ? &target.status : nullptr);
    const FileError error = temp.replace(target.path);
    if (error == 0)
        syncFolder(folderOf(target.path));
    return error;
}

FileError backUpUserFile(const QString& path, QString* backupPath)
{
    const Target target(path);
    if (target.problem() != 0 || target.kind == UserFileRead::Missing)
        return target.kind == UserFileRead::Missing ? ENOENT : target.problem();
    const QByteArray folder = folderOf(target.path);
    TempFile temp(folder, nameOf(target.path), true);
    if (temp.error() == 0 && !readPieces(target.fd, std::numeric_limits<qint64>::max(),
                                         [&](QByteArrayView piece) { return writeAll(temp.fd(), piece); }))
        temp.fail();
    if (temp.finish(&target.status) != 0)
        return temp.error();
    for (int number = 0; number < MostBackups; ++number) {
        QByteArray name = target.path + ".bak";
        if (number > 0)
            name += '.' + QByteArray::number(number);
        const FileError error = temp.name(name);
        if (error == EEXIST)
            continue;
        if (error == 0) {
            syncFolder(folder);
            if (backupPath)
                *backupPath = QFile::decodeName(name);
        }
        return error;
    }
    return EEXIST;
}
