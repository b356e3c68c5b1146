// Functions of shell32, bound at run time. shell32 is loaded from the
// system directory once and kept for the life of the process: as a
// load-time import it would be resolved, with its own dependencies, before
// the entry point could restrict the DLL search path, so a DLL planted
// beside the installer could be loaded.
#pragma once

#include "foundation/Win.h"

#include <string>

// Null when shell32 or the function is missing.
FARPROC ShellFunctionAddress(const char* name);

template <typename Function>
Function ShellFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(ShellFunctionAddress(name)));
}
