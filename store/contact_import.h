// Fills the number and category tables from the device's contact store and
// restores the saved ticks.
#pragma once

#include "platform/contacts.h"
#include "platform/types.h"

// The store's application object: created and logged on by an import and
// released at its normal end; a failure after the logon leaves it for the
// next import to use.
extern plat::IPOutlookApp* contactApp;

// True when the store was opened and its contacts enumerated (possibly none,
// possibly stopped at 1000 rows); false when it cannot be reached.
bool importContacts(plat::HWND owner);

// Rebuilds the category table from the categories of the number rows.
void collectCategories();

// Forgets the application object without releasing it (for tests).
void resetContactImport();
