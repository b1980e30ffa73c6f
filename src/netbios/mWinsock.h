#pragma once

#include "netbios/NetbiosClient.h"

#include <QString>

// Hardware-address discovery. A computer is named by the text of an IPv4
// address, by its NetBIOS name, or by "*" for this computer; the answer is its
// adapter's address as twelve upper-case hexadecimal digits, or the empty text
// when there is none. Blocks the caller for up to two seconds per exchange (a
// name costs one more exchange to find its address); never throws.
QString getMacAddress(const QString& name);
QString getMacAddress(const QString& name, const NetbiosOptions& options);

// The hexadecimal text of a byte ("7", "A", "3F") with two digits: one digit
// gets a "0" in front, any other text comes back as it is.
QString hexByte(const QString& text);
