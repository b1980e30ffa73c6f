#pragma once
// Temporary: replaced by the library consolidation.
#include "addressbook/AddressListFile.h"
