#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef TARNEL_INSTALLED_BINDIR
#define TARNEL_INSTALLED_BINDIR "/usr/local/bin"
#endif

namespace {

QString canonicalOrClean(const QString& dir)
{
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(dir) : canonical;
}

} // namespace

QString chooseDataDirectory(const QString& programDir, const QString& installedBinDir, bool programDirWritable,
                            const QString& userConfigDir)
{
    const bool installed = canonicalOrClean(programDir) == canonicalOrClean(installedBinDir);
    if (installed || !programDirWritable)
        return userConfigDir;
    return programDir;
}

QString dataDirectory()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString userConfigDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/tarnel");
    const QFileInfo info(programDir);
    QString chosen = chooseDataDirectory(programDir, QStringLiteral(TARNEL_INSTALLED_BINDIR),
                                         info.isDir() && info.isWritable(), userConfigDir);
    if (chosen == userConfigDir)
        QDir().mkpath(chosen);
    return chosen;
}

QString dataFilePath(const QString& dataDir, const QString& fileName)
{
    return QDir(dataDir).filePath(fileName);
}
