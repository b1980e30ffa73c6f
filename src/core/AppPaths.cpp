#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef TARNEL_INSTALLED_BINDIR
#define TARNEL_INSTALLED_BINDIR "/usr/local/bin"
#endif

namespace {

const QString AddressBookName = QStringLiteral("address.lst");
const QString SettingsName = QStringLiteral("tarnel.ini");

QString canonicalOrClean(const QString& dir)
{
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(dir) : canonical;
}

// Whether the folder holds something under the name, even a link to nothing.
bool holds(const QString& dir, const QString& name)
{
    const QFileInfo info(QDir(dir).filePath(name));
    return info.exists() || info.isSymLink();
}

} // namespace

QString chooseDataDirectory(const QString& programDir, const QString& installedBinDir, bool programDirWritable,
                            bool programDirHasFiles, const QString& userConfigDir)
{
    const bool installed = canonicalOrClean(programDir) == canonicalOrClean(installedBinDir);
    if (installed || (!programDirWritable && !programDirHasFiles))
        return userConfigDir;
    return programDir;
}

QString dataDirectory(bool create)
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString userConfigDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/tarnel");
    const QFileInfo info(programDir);
    const bool hasFiles = holds(programDir, AddressBookName) || holds(programDir, SettingsName);
    QString chosen = chooseDataDirectory(programDir, QStringLiteral(TARNEL_INSTALLED_BINDIR),
                                         info.isDir() && info.isWritable(), hasFiles, userConfigDir);
    if (create && chosen == userConfigDir)
        QDir().mkpath(chosen);
    return chosen;
}

QString addressBookPath(const QString& dataDir)
{
    return QDir(dataDir).filePath(AddressBookName);
}

QString settingsPath(const QString& dataDir)
{
    return QDir(dataDir).filePath(SettingsName);
}
