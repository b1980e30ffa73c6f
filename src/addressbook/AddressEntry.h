#pragma once

#include <QString>
#include <QStringView>
#include <array>

// One computer of the address book.
struct AddressEntry {
    static constexpr int MacBytes = 6;
    static constexpr int AlarmSlots = 8;

    QString name;
    // Each byte text is exactly two characters; assign through setMac() to keep it so.
    std::array<QString, MacBytes> mac{QStringLiteral("  "), QStringLiteral("  "), QStringLiteral("  "),
                                      QStringLiteral("  "), QStringLiteral("  "), QStringLiteral("  ")};
    // Slot 0 is every day, slot k (1..7) weekday k with Sunday as 1.
    std::array<QString, AlarmSlots> alarms;
    QString host;

    // Stores byte `index` (0..5) padded or cut to two characters; an index out of range is ignored.
    void setMac(int index, QStringView text);

    friend bool operator==(const AddressEntry&, const AddressEntry&) = default;
};

// A byte text as an entry holds it: a shorter text is padded with spaces, a longer one cut to its first two
// characters. Half of a surrogate pair left over by the cut becomes U+FFFD, so the text can always be saved.
QString fixedWidthByteText(QStringView text);

// Whether a text can stand in a field of the address-book file: the format has no quoting, so a comma or a line
// break would cut the line differently when it is read back.
bool isStorableInAddressLine(QStringView text);
