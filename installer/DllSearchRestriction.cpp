#include "installer/DllSearchRestriction.h"

#include "foundation/Win.h"

namespace {

// Neither function exists on every supported system, so both are bound at
// run time; kernel32 is loaded in every process already.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);

const DWORD searchSystem32Only = 0x00000800;   // LOAD_LIBRARY_SEARCH_SYSTEM32

template <typename Function>
Function Kernel32Function(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
}

}  // namespace

void RestrictDllSearchPath() {
    auto setDefaultDirectories = Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
    if (setDefaultDirectories && setDefaultDirectories(searchSystem32Only)) return;
    auto setDllDirectory = Kernel32Function<SetDllDirectoryFunction>("SetDllDirectoryA");
    if (setDllDirectory) setDllDirectory("");
}
