#include "settingsfile/SettingsFile.h"

#include "core/TextNumbers.h"
#include "core/UserFile.h"

#include <optional>

namespace {

// A real file is 14 bytes; reading stops well before a stray huge file could
// cost memory.
constexpr qint64 MaxFileBytes = 64 * 1024;

// Cuts fields off the front of the file's bytes. The delimiters are ASCII, so
// cutting the bytes before decoding is safe for the multi-byte encodings too.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes) : m_bytes(bytes) {}

    // The next field, or nothing when the bytes end before one begins.
    std::optional<QByteArrayView> next()
    {
        while (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t'))
            ++m_pos;
        if (m_pos >= m_bytes.size())
            return std::nullopt;

        QByteArrayView field;
        if (m_bytes[m_pos] == '"') {
            const qsizetype begin = m_pos + 1;
            qsizetype end = begin;
            while (end < m_bytes.size() && m_bytes[end] != '"')
                ++end;
            field = m_bytes.sliced(begin, end - begin);
            m_pos = end < m_bytes.size() ? end + 1 : end;
            // Whatever follows the closing quote up to the delimiter is not
            // part of the field.
            skipToDelimiter();
        } else {
            const qsizetype begin = m_pos;
            skipToDelimiter();
            field = m_bytes.sliced(begin, m_pos - begin);
        }
        skipDelimiter();
        return field;
    }

private:
    bool atDelimiter() const
    {
        const char c = m_bytes[m_pos];
        return c == ',' || c == '\r' || c == '\n';
    }

    void skipToDelimiter()
    {
        while (m_pos < m_bytes.size() && !atDelimiter())
            ++m_pos;
    }

    // A comma, or one line end: CR LF, CR or LF.
    void skipDelimiter()
    {
        if (m_pos >= m_bytes.size())
            return;
        const char c = m_bytes[m_pos++];
        if (c == '\r' && m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

SettingsFields readSettingsFields(QByteArrayView bytes)
{
    FieldReader reader(bytes);
    SettingsFields fields;
    for (QString* text : {&fields.port, &fields.repeat, &fields.startInTray}) {
        const std::optional<QByteArrayView> field = reader.next();
        if (!field)
            break;
        *text = QString::fromLocal8Bit(*field);
    }
    return fields;
}

SettingsValues applySettingsFields(const SettingsFields& fields, const SettingsValues& current)
{
    SettingsValues values = current;
    // Written as ranges that hold, so a value that is not a number at all
    // would leave the control alone.
    const double port = numericValue(fields.port);
    if (port >= 1025 && port <= 9999)
        values.port = numberText(port);
    const double repeat = numericValue(fields.repeat);
    if (repeat > 0 && repeat <= 9)
        values.repeat = numberText(repeat);
    // The file can only untick the choice; its default is ticked.
    if (numericValue(fields.startInTray) == 0)
        values.startInTray = false;
    return values;
}

SettingsValues loadSettingsFile(const QString& path, const SettingsValues& current)
{
    // Anything but an ordinary file (a folder, a FIFO, a device) counts as absent.
    const UserFileRead read = readUserFile(path, MaxFileBytes);
    if (read.kind != UserFileRead::Ordinary)
        return current;
    return applySettingsFields(readSettingsFields(read.bytes), current);
}

QByteArray settingsFileBytes(const SettingsValues& values)
{
    QByteArray bytes;
    bytes += '"';
    bytes += values.port.toLocal8Bit();
    bytes += "\",\"";
    bytes += values.repeat.toLocal8Bit();
    bytes += "\",";
    bytes += values.startInTray ? '1' : '0';
    bytes += "\r\n";
    return bytes;
}

bool saveSettingsFile(const QString& path, const SettingsValues& values, QString* error)
{
    const FileError failed = replaceUserFile(path, settingsFileBytes(values));
    if (failed != 0 && error)
        *error = fileErrorText(failed);
    return failed == 0;
}
