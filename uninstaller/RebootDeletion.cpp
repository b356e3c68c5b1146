#include "uninstaller/RebootDeletion.h"

#include "foundation/Win.h"
#include "foundation/BoundFunction.h"

#include <vector>

namespace {


bool IsNtFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The section holds several "NUL=" lines, which the key-based profile
// functions cannot write: the whole section is read and written back.
bool AppendRenameLine(const std::string& path) {
    char shortPath[MAX_PATH + 1];
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    if (length == 0 || length >= sizeof shortPath) return false;
    const std::string line = std::string("NUL=") + shortPath;

    std::vector<char> section(0x7FFF);
    DWORD used = GetPrivateProfileSectionA("Rename", section.data(), static_cast<DWORD>(section.size()),
                                           "WININIT.INI");
    if (used + line.size() + 2 >= section.size()) return false;
    std::copy(line.begin(), line.end(), section.begin() + used);
    used += static_cast<DWORD>(line.size());
    section[used] = '\0';
    section[used + 1] = '\0';
    return WritePrivateProfileSectionA("Rename", section.data(), "WININIT.INI") != FALSE;
}

}  // namespace

bool DeleteAtReboot(const std::string& path) {
    if (!IsNtFamily()) return AppendRenameLine(path);
    // Bound by name: the Windows 95 family's kernel32 lacks it.
    const auto moveFileEx = KernelFunction<decltype(&::MoveFileExA)>("MoveFileExA");
    return moveFileEx != nullptr && moveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}
