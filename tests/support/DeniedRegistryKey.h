// Registry keys that refuse changes, for tests of write failures: a DACL
// set on a key of HKEY_LOCAL_MACHINE holds until the registry server
// restarts, which a test's own prefix does not do while the test runs.
#pragma once

#include "foundation/Win.h"

#include <string>

// Replaces the key's access list by the one the SDDL text describes; the
// key is created when missing. Needs no other right on the key than
// changing its access list, which its owner always has.
void SetKeySecurity(HKEY root, const std::string& subkey, const char* sddl);

// Everyone may read the key (created when missing) and nobody may open it
// for writing: creating or opening it to set a value fails with access
// denied. Creating subkeys still works, and deleting the key is still
// allowed when it has none.
void DenyWrites(const std::string& machineSubkey);

// Everyone may only query the key's values: opening it to list its
// subkeys is refused.
void DenyListing(const std::string& machineSubkey);
