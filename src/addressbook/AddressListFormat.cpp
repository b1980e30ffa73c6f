#include "addressbook/AddressListFormat.h"

#include "addressbook/SplitFields.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

// The file is UTF-8, the locale's encoding as Qt takes it on Linux. Files from Japanese Windows are Shift-JIS.

namespace {

const QString BroadcastHost = QStringLiteral("255.255.255.255");
constexpr int LineSlots = 13;
constexpr int LinePieceLimit = 12;
constexpr QByteArrayView Utf8ByteOrderMark("\xEF\xBB\xBF");

bool isLineEnd(char b)
{
    return b == '\r' || b == '\n';
}

// Code page 932 through ICU. ICU's table maps the control bytes 1A, 1C and 7F the IBM way (rotated among
// themselves); Windows leaves every byte below 80 as it is. None of them can be part of a double-byte character,
// so they pass straight through and only the runs between them go to the converter.
class ShiftJisDecoder {
public:
    ShiftJisDecoder() : m_decoder("windows-31j", QStringConverter::Flag::Stateless) {}

    bool isValid() const { return m_decoder.isValid(); }

    // Every byte that does not decode shows as U+FFFD; `bad` counts them.
    QString decode(QByteArrayView bytes, qsizetype& bad)
    {
        QString text;
        text.reserve(bytes.size());
        qsizetype runStart = 0;
        for (qsizetype i = 0; i <= bytes.size(); ++i) {
            const bool end = i == bytes.size();
            if (!end && bytes[i] != '\x1A' && bytes[i] != '\x1C' && bytes[i] != '\x7F')
                continue;
            if (i > runStart)
                text += decodeRun(bytes.sliced(runStart, i - runStart), bad);
            if (!end)
                text += QChar(char16_t(uchar(bytes[i])));
            runStart = i + 1;
        }
        return text;
    }

private:
    QString decodeRun(QByteArrayView run, qsizetype& bad)
    {
        QString text = m_decoder(run);
        if (!m_decoder.hasError())
            return text;
        // ICU marks an unmappable byte with U+001A and drops an incomplete character at the end of the run.
        qsizetype marked = 0;
        for (QChar& c : text) {
            if (c == u'\x1A' || c == QChar::ReplacementCharacter) {
                c = QChar::ReplacementCharacter;
                ++marked;
            }
        }
        if (marked == 0) {
            text += QChar::ReplacementCharacter;
            marked = 1;
        }
        bad += marked;
        m_decoder.resetState();
        return text;
    }

    QStringDecoder m_decoder;
};

// UTF-8 when the bytes are valid UTF-8, else Shift-JIS when they are valid as that; bytes valid in neither are
// taken in whichever shows fewer bad characters.
struct EncodingChoice {
    bool shiftJis = false;
    bool valid = true;
};

EncodingChoice chooseEncoding(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return {};
    ShiftJisDecoder shiftJis;
    if (!shiftJis.isValid())
        return {false, false};
    qsizetype shiftJisBad = 0;
    shiftJis.decode(bytes, shiftJisBad);
    if (shiftJisBad == 0)
        return {true, true};
    const qsizetype utf8Bad = QString::fromUtf8(bytes).count(QChar::ReplacementCharacter);
    return {shiftJisBad < utf8Bad, false};
}

// Turns lines into entries, sharing the texts that repeat: byte texts are mostly the same few hundred pairs of
// hexadecimal digits, and alarm texts and hosts mostly repeat from line to line ("__:__", one broadcast address).
// A full book then takes a fraction of the allocations, which is most of the time a load takes.
class LineReader {
public:
    AddressEntry read(QStringView line)
    {
        std::array<QStringView, LineSlots> slots;
        const int n = splitFields(slots, LinePieceLimit, line, u",");

        AddressEntry entry;
        entry.name = slots[0].toString();
        for (std::size_t j = 0; j < entry.mac.size(); ++j)
            entry.mac[j] = byteText(slots[1].mid(2 * qsizetype(j), 2));
        for (std::size_t k = 0; k < entry.alarms.size(); ++k)
            entry.alarms[k] = sameAsBefore(slots[k + 2], m_previous.alarms[k]);
        // An empty eleventh field is an empty host, not the broadcast address.
        entry.host = n > 10 ? sameAsBefore(slots[10], m_previous.host) : BroadcastHost;
        m_previous = entry;
        return entry;
    }

private:
    static constexpr int HexDigitKinds = 22; // 0-9, A-F, a-f

    static int hexDigitKind(QChar c)
    {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return u - u'0';
        if (u >= u'A' && u <= u'F')
            return u - u'A' + 10;
        if (u >= u'a' && u <= u'f')
            return u - u'a' + 16;
        return -1;
    }

    QString byteText(QStringView piece)
    {
        if (piece.size() == 2) {
            const int high = hexDigitKind(piece[0]);
            const int low = hexDigitKind(piece[1]);
            if (high >= 0 && low >= 0) {
                QString& shared = m_hexBytes[std::size_t(high) * HexDigitKinds + std::size_t(low)];
                if (shared.isNull())
                    shared = piece.toString();
                return shared;
            }
        }
        return fixedWidthByteText(piece);
    }

    static QString sameAsBefore(QStringView field, const QString& before)
    {
        return before == field ? before : field.toString();
    }

    std::array<QString, HexDigitKinds * HexDigitKinds> m_hexBytes;
    AddressEntry m_previous;
};

qsizetype countLines(QByteArrayView bytes)
{
    qsizetype lines = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')))
            ++lines;
    }
    if (!bytes.isEmpty() && !isLineEnd(bytes.back()))
        ++lines;
    return lines;
}

void appendLine(QString& text, const AddressEntry& entry)
{
    text += entry.name;
    text += u',';
    for (const QString& byte : entry.mac)
        text += byte;
    text += u',';
    for (const QString& alarm : entry.alarms) {
        text += alarm;
        text += u',';
    }
    text += entry.host;
}

} // namespace

void markIncomplete(AddressListLoad& load, const QString& problem)
{
    if (load.complete)
        load.problem = problem;
    load.complete = false;
}

AddressListLoad parseAddressList(QByteArrayView bytes, qsizetype byteLimit)
{
    AddressListLoad load;
    if (bytes.size() > byteLimit) {
        // Whole lines only. CR and LF are never part of a character in UTF-8 or Shift-JIS, so lines can be cut
        // from the bytes before they are decoded.
        qsizetype end = std::max<qsizetype>(byteLimit, 0);
        while (end > 0 && !isLineEnd(bytes[end - 1]))
            --end;
        bytes = bytes.first(end);
        markIncomplete(load, QStringLiteral("the file is larger than %1 bytes").arg(byteLimit));
    }

    const EncodingChoice encoding = chooseEncoding(bytes);
    load.shiftJis = encoding.shiftJis;
    if (!encoding.valid)
        markIncomplete(load, QStringLiteral("the file holds bytes that are not valid text"));
    if (!encoding.shiftJis && bytes.startsWith(Utf8ByteOrderMark))
        bytes = bytes.sliced(Utf8ByteOrderMark.size());
    std::optional<ShiftJisDecoder> shiftJis;
    if (encoding.shiftJis)
        shiftJis.emplace();
    // A byte-order mark is only dropped at the start of the file; one starting a later line is part of a name.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    LineReader reader;
    load.book.reserve(int(std::min<qsizetype>(countLines(bytes), AddressBook::MaxEntries)));

    qsizetype lineStart = 0;
    while (lineStart < bytes.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < bytes.size() && !isLineEnd(bytes[lineEnd]))
            ++lineEnd;
        if (load.book.isFull()) {
            markIncomplete(load, QStringLiteral("the file holds more than %1 entries").arg(AddressBook::MaxEntries));
            break;
        }
        const QByteArrayView lineBytes = bytes.sliced(lineStart, lineEnd - lineStart);
        qsizetype ignored = 0;
        const QString line = shiftJis ? shiftJis->decode(lineBytes, ignored) : QString(utf8(lineBytes));
        load.book.append(reader.read(line));

        // A line ends at CR, CR LF or a lone LF; a final line end does not start another line.
        lineStart = lineEnd;
        if (lineStart < bytes.size()) {
            const bool cr = bytes[lineStart] == '\r';
            ++lineStart;
            if (cr && lineStart < bytes.size() && bytes[lineStart] == '\n')
                ++lineStart;
        }
    }
    return load;
}

QString addressLine(const AddressEntry& entry)
{
    QString line;
    appendLine(line, entry);
    return line;
}

QByteArray serializeAddressList(const AddressBook& book)
{
    // Sized first: growing a text of megabytes step by step costs more than writing it.
    qsizetype length = 0;
    for (const AddressEntry& entry : book) {
        length += entry.name.size() + entry.host.size() + 12; // ten commas, CR, LF
        for (const QString& byte : entry.mac)
            length += byte.size();
        for (const QString& alarm : entry.alarms)
            length += alarm.size();
    }
    QString text;
    text.reserve(length);
    for (const AddressEntry& entry : book) {
        appendLine(text, entry);
        text += u"\r\n";
    }

    QByteArray bytes = text.toUtf8();
    // The reader drops one byte-order mark at the start of the file, so a name that itself begins with one keeps
    // it only behind a second.
    if (text.startsWith(QChar::ByteOrderMark))
        bytes.prepend(Utf8ByteOrderMark);
    return bytes;
}

qsizetype firstDifferentLine(QByteArrayView a, QByteArrayView b)
{
    if (a == b) // the usual case, a file this program wrote, at the speed of memcmp
        return 0;
    // A CR directly before an LF is skipped, so that CR LF and LF compare equal.
    const auto skipCr = [](QByteArrayView bytes, qsizetype i) {
        return i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n' ? i + 1 : i;
    };
    qsizetype line = 1;
    for (qsizetype i = 0, j = 0;; ++i, ++j) {
        i = skipCr(a, i);
        j = skipCr(b, j);
        const bool endA = i >= a.size(), endB = j >= b.size();
        if (endA && endB)
            return 0;
        if (endA || endB || a[i] != b[j])
            return line;
        if (a[i] == '\n')
            ++line;
    }
}
