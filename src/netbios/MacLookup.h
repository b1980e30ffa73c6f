#pragma once

#include "netbios/NetbiosClient.h"

#include <QString>

// Hardware-address discovery. A computer is named by the text of an IPv4
// address, by its NetBIOS name (or, failing that, a host name the system
// resolver knows), or by "*" for this computer; the answer is its adapter's
// address as twelve upper-case hexadecimal digits, or the empty text when
// there is none. The computer is asked by a NetBIOS node-status query; when it
// gives no address (no NetBIOS, or all zeros) and it is on a directly attached
// network, the kernel's neighbour table gives the address its last ARP reply
// came from. Blocks the caller for up to two seconds per exchange (a name costs
// one more exchange, or up to two seconds of the resolver, to find its
// address); a computer without NetBIOS answers at once. Never throws.
QString lookUpMacAddress(const QString& computer, const NetbiosOptions& options = {});
