#pragma once

#include <QString>

// Where "tarnel.ini" and "address.lst" live.
//
// A program run from a build or an unpacked folder keeps them beside itself,
// and so does one whose folder already holds either file, even when the folder
// cannot be written (saves then fail and say so). An installed program (run
// from the install prefix's bin directory), or one in a folder the user cannot
// write that holds neither file, keeps them in the per-user configuration
// directory instead, since the program's directory is not the user's to write.
QString chooseDataDirectory(const QString& programDir, const QString& installedBinDir, bool programDirWritable,
                            bool programDirHasFiles, const QString& userConfigDir);

// The decision above for the running program, from the folder it runs from;
// creates the per-user directory when that is the one chosen and `create` is
// set (a program that only reads leaves it alone).
QString dataDirectory(bool create = true);

// The two files in the data directory.
QString addressBookPath(const QString& dataDir);
QString settingsPath(const QString& dataDir);
