#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

// The text-to-number rules of the window.

// The numeric value of a text: blanks, tabs and line feeds are ignored wherever
// they stand; then an optional sign, digits, an optional fraction and exponent
// are read up to the first character that cannot continue the number. "&H"
// introduces hexadecimal digits. A text with no leading number is 0.
double numericValue(QStringView text);

// Whether the whole text, blanks around it aside, is one decimal number
// (a repeat count "3" is; "", " ", "x" and "3x" are not).
bool isNumeric(QStringView text);

// One or two hexadecimal digits, trailing blanks ignored, to a byte.
// Throws Failure: type mismatch for anything else, overflow above 255.
std::uint8_t hexTextToByte(QStringView text);

// A decimal number from -32768 to 32767 with blanks around it; a fraction is
// rounded to the nearest whole number, an exact half to the even neighbour.
// Throws Failure: type mismatch when not a number, overflow outside the range.
std::int16_t textToInt16(QStringView text);

// The shortest decimal text of a value: 9001 for 9001.0, 2.5 for 2.5.
QString numberText(double value);
