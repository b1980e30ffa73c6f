#pragma once
// Temporary: replaced by the library consolidation.
#include "addressbook/AddressFile.h"
using AddressBookFile = AddressFile;
