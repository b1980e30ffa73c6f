#pragma once

#include <QString>

// Where "tarnel.ini" and "address.lst" live.
//
// A program run from a build or an unpacked folder keeps them beside itself.
// An installed program (run from the install prefix's bin directory) or one in
// a directory the user cannot write keeps them in the per-user configuration
// directory instead, since the program's directory is not the user's to write.
QString chooseDataDirectory(const QString& programDir, const QString& installedBinDir, bool programDirWritable,
                            const QString& userConfigDir);

// The decision above for the running program; creates the per-user directory
// when that is the one chosen.
QString dataDirectory();

// The path of a file in the data directory.
QString dataFilePath(const QString& dataDir, const QString& fileName);
