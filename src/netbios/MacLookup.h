#pragma once

#include "netbios/NetbiosClient.h"

#include <QString>

// Hardware-address discovery. A computer is named by the text of an IPv4
// address, by its NetBIOS name (or, failing that, a host name the system
// resolver knows), or by "*" for this computer; the answer is its adapter's
// address as twelve upper-case hexadecimal digits, or the empty text when
// there is none. Blocks the caller for up to two seconds per exchange (a name
// costs one more exchange to find its address); never throws.
QString lookUpMacAddress(const QString& computer, const NetbiosOptions& options = {});
