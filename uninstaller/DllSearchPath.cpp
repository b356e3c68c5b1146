#include "uninstaller/DllSearchPath.h"

#include "foundation/Win.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);

template <typename Function>
Function Bind(const char* name) {
    // Both are missing on older systems, so they are bound by name.
    const FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

void RestrictDllSearchPath() {
    const auto setDefault = Bind<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Takes at least the current directory out of the search order.
    const auto setDirectory = Bind<SetDllDirectoryFunction>("SetDllDirectoryA");
    if (setDirectory != nullptr) setDirectory("");
}
