#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// "tarnel.ini": one line holding the port, the repeat count and the
// start-in-tray choice, as in
//     "9001","1",1<CR><LF>

// The three texts as they stand in the file, before any check.
struct SettingsFields {
    QString port;
    QString repeat;
    QString startInTray;
};

// The values of the three settings controls. The defaults are the values the
// window starts with.
struct SettingsValues {
    QString port = QStringLiteral("9001");
    QString repeat = QStringLiteral("1");
    bool startInTray = true;

    friend bool operator==(const SettingsValues&, const SettingsValues&) = default;
};

// Reads the first three fields of the file's bytes. Blanks before a field are
// skipped; a field that begins with a double quote runs to the next double
// quote (so it may hold a comma), and the rest of it up to the next comma or
// line end is dropped; any other field runs to the next comma or line end.
// CR LF, a lone CR and a lone LF each end a line, so the fields may also stand
// on separate lines. Fields the bytes do not reach stay empty.
SettingsFields readSettingsFields(QByteArrayView bytes);

// What the controls show after reading `fields` into them: the port only when
// its value is 1025..9999, the repeat count only when above 0 and at most 9,
// both rewritten as plain numbers; the start-in-tray choice is unticked by a
// value of exactly 0 and never ticked by the file.
SettingsValues applySettingsFields(const SettingsFields& fields, const SettingsValues& current);

// The controls' values after reading the file at `path`. No file, or anything
// but an ordinary file under its name, leaves them as they are; a file that
// cannot be read counts as empty, which unticks the start-in-tray choice.
SettingsValues loadSettingsFile(const QString& path, const SettingsValues& current);

// The file's bytes for `values`, written as they are, without checks: the
// next load rejects what is out of range.
QByteArray settingsFileBytes(const SettingsValues& values);

// Replaces the file whole, keeping its mode and owner; never replaces anything
// but an ordinary file. On failure the old file stays and `error` (when given)
// says why.
bool saveSettingsFile(const QString& path, const SettingsValues& values, QString* error = nullptr);
