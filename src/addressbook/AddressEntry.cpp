#include "addressbook/AddressEntry.h"

void AddressEntry::setMac(int index, QStringView text)
{
    if (index < 0 || index >= MacBytes)
        return;
    mac[std::size_t(index)] = fixedWidthByteText(text);
}

QString fixedWidthByteText(QStringView text)
{
    QString fixed = text.left(2).toString();
    while (fixed.size() < 2)
        fixed.append(QLatin1Char(' '));

    const bool pairWhole = fixed[0].isHighSurrogate() && fixed[1].isLowSurrogate();
    if (!pairWhole) {
        for (QChar& c : fixed) {
            if (c.isSurrogate())
                c = QChar::ReplacementCharacter;
        }
    }
    return fixed;
}

bool isStorableInAddressLine(QStringView text)
{
    for (QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return false;
    }
    return true;
}
