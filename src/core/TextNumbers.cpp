#include "core/TextNumbers.h"

#include "core/Failure.h"

#include <cmath>
#include <optional>

namespace {

bool isIgnoredBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x3000);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigit(QChar c)
{
    if (isDigit(c))
        return c.unicode() - '0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - 'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - 'A' + 10;
    return -1;
}

// Reads a decimal number at the start of `chars`; `used` tells how many
// characters belong to it (0 when none).
double readDecimal(const QString& chars, qsizetype& used)
{
    qsizetype i = 0;
    const qsizetype n = chars.size();
    QString digits;
    if (i < n && (chars[i] == u'+' || chars[i] == u'-'))
        digits += chars[i++];
    qsizetype mantissaDigits = 0;
    while (i < n && isDigit(chars[i])) {
        digits += chars[i++];
        ++mantissaDigits;
    }
    if (i < n && chars[i] == u'.') {
        qsizetype j = i + 1;
        QString fraction;
        while (j < n && isDigit(chars[j]))
            fraction += chars[j++];
        if (mantissaDigits > 0 || !fraction.isEmpty()) {
            digits += u'.';
            digits += fraction;
            mantissaDigits += fraction.size();
            i = j;
        }
    }
    if (mantissaDigits == 0) {
        used = 0;
        return 0.0;
    }
    if (i < n && (chars[i] == u'e' || chars[i] == u'E' || chars[i] == u'd' || chars[i] == u'D')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (chars[j] == u'+' || chars[j] == u'-'))
            exponent += chars[j++];
        qsizetype expDigits = 0;
        while (j < n && isDigit(chars[j])) {
            exponent += chars[j++];
            ++expDigits;
        }
        if (expDigits > 0) {
            digits += exponent;
            i = j;
        }
    }
    used = i;
    bool ok = false;
    double value = digits.toDouble(&ok);
    if (!ok) {
        // Only an exponent far out of range gets here: keep the sign, take infinity or zero.
        const bool negative = digits.startsWith(u'-');
        const bool hugeExponent = !digits.contains(QStringLiteral("e-"));
        value = hugeExponent ? HUGE_VAL : 0.0;
        if (negative)
            value = -value;
    }
    return value;
}

// A strict decimal number with blanks around it, or nothing.
std::optional<double> strictDecimal(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    if (begin == end)
        return std::nullopt;
    // The common case, a port or a repeat count of a few plain digits, without
    // building a text for the general reader: every send reads both.
    if (end - begin <= 9) {
        const bool negative = text[begin] == u'-';
        qsizetype i = negative || text[begin] == u'+' ? begin + 1 : begin;
        long value = 0;
        bool digitsOnly = i < end;
        for (; i < end && digitsOnly; ++i) {
            digitsOnly = isDigit(text[i]);
            value = value * 10 + (text[i].unicode() - '0');
        }
        if (digitsOnly)
            return double(negative ? -value : value);
    }
    const QString inner = text.mid(begin, end - begin).toString();
    qsizetype used = 0;
    const double value = readDecimal(inner, used);
    if (used != inner.size())
        return std::nullopt;
    return value;
}

} // namespace

double numericValue(QStringView text)
{
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text)
        if (!isIgnoredBlank(c))
            compact += c;

    if (compact.size() >= 2 && compact[0] == u'&' && (compact[1] == u'H' || compact[1] == u'h')) {
        double value = 0;
        for (qsizetype i = 2; i < compact.size() && hexDigit(compact[i]) >= 0; ++i)
            value = value * 16 + hexDigit(compact[i]);
        return value;
    }
    qsizetype used = 0;
    return readDecimal(compact, used);
}

bool isNumeric(QStringView text)
{
    return strictDecimal(text).has_value();
}

std::uint8_t hexTextToByte(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    if (end == 0)
        throw Failure::typeMismatch(QStringLiteral("16 進数の値がありません"));
    unsigned value = 0;
    for (qsizetype i = 0; i < end; ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0)
            throw Failure::typeMismatch(QStringLiteral("「%1」は 16 進数ではありません").arg(text.toString()));
        value = value * 16 + unsigned(digit);
        if (value > 255)
            throw Failure::overflow(QStringLiteral("「%1」は 1 バイト (FF) を超えます").arg(text.toString()));
    }
    return std::uint8_t(value);
}

std::int16_t textToInt16(QStringView text)
{
    const std::optional<double> value = strictDecimal(text);
    if (!value)
        throw Failure::typeMismatch(QStringLiteral("「%1」は数値ではありません").arg(text.toString()));
    const double rounded = std::nearbyint(*value); // the default rounding mode sends halves to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw Failure::overflow(QStringLiteral("「%1」は -32768 から 32767 の範囲外です").arg(text.toString()));
    return std::int16_t(rounded);
}

QString numberText(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15);
}
