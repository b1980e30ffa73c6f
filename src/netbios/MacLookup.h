#pragma once
// Temporary: replaced by the library consolidation.
#include "netbios/mWinsock.h"
inline QString lookUpMacAddress(const QString& c, const NetbiosOptions& o = {}) { return getMacAddress(c, o); }
