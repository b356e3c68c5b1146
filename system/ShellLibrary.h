// Functions of shell32, bound at run time, and the notifications the
// installation sends the shell. shell32 is loaded from the
// system directory once and kept for the life of the process: as a
// load-time import it would be resolved, with its own dependencies, before
// the entry point could restrict the DLL search path, so a DLL planted
// beside the installer could be loaded.
#pragma once

#include "foundation/DllLoader.h"
#include "foundation/Win.h"

#include <string>

// Null when shell32 cannot be loaded.
HMODULE Shell32();

// Null when shell32 or the function is missing.
template <typename Function>  // decltype(&::SHChangeNotify)
Function ShellFunction(const char* name) {
    return BoundFunction<Function>(Shell32(), name);
}

// SHChangeNotify(SHCNE_ASSOCCHANGED): file associations changed.
void NotifyAssociationsChanged();
