#include "foundation/DllSearchPath.h"

#include "foundation/BoundFunction.h"

// Neither function exists on every supported system.
void RestrictDllSearchPath() {
    const auto setDefault = KernelFunction<decltype(&::SetDefaultDllDirectories)>("SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    const auto setDirectory = KernelFunction<decltype(&::SetDllDirectoryA)>("SetDllDirectoryA");
    if (setDirectory != nullptr) setDirectory("");
}
