#include "uninstaller/DllSearchPath.h"

#include "foundation/Win.h"
#include "uninstaller/KernelFunction.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);

}  // namespace

// Both are missing on older systems.
void RestrictDllSearchPath() {
    const auto setDefault = KernelFunction<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Takes at least the current directory out of the search order.
    const auto setDirectory = KernelFunction<SetDllDirectoryFunction>("SetDllDirectoryA");
    if (setDirectory != nullptr) setDirectory("");
}
