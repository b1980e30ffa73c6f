#include "cli/MacText.h"

#include <QStringList>

#include <algorithm>

namespace {

bool isHex(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
}

} // namespace

std::optional<std::array<QString, 6>> parseMacText(QStringView text)
{
    text = text.trimmed();
    QString digits;
    const auto groups = [&](QChar separator, qsizetype count, qsizetype width) {
        digits.clear();
        const QList<QStringView> parts = text.split(separator);
        if (parts.size() != count)
            return false;
        for (const QStringView part : parts) {
            if (part.size() != width)
                return false;
            digits += part;
        }
        return true;
    };
    const bool shaped = (text.size() == 12 && (digits = text.toString(), true)) || groups(u':', 6, 2) ||
                        groups(u'-', 6, 2) || groups(u'.', 3, 4);
    if (!shaped || digits.size() != 12 || !isHex(digits))
        return std::nullopt;
    std::array<QString, 6> bytes;
    for (int j = 0; j < 6; ++j)
        bytes[std::size_t(j)] = digits.mid(2 * j, 2).toUpper();
    return bytes;
}

QString macDisplayText(const std::array<QString, 6>& bytes)
{
    QStringList parts;
    for (const QString& byte : bytes)
        parts << byte.toUpper();
    return parts.join(u':');
}
