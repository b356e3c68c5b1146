#include "system/SpecialFolders.h"

#include "foundation/DllLoader.h"
#include "foundation/RegKey.h"
#include "foundation/Win.h"

#include <shlobj.h>
#include "system/SystemInfo.h"

#include <optional>

namespace {

const char currentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char shellFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char userShellFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Earlier shells lack SHGetSpecialFolderPathA or answer it unreliably.
const VersionTriple minimumShellVersion{4, 71, 1712};

// Folder ids of SHGetSpecialFolderPathA (the CSIDL_ values).
enum FolderId : int {
    programsId = 2,           // CSIDL_PROGRAMS
    desktopDirectoryId = 16,  // CSIDL_DESKTOPDIRECTORY
    commonProgramsId = 23,    // CSIDL_COMMON_PROGRAMS
    commonDesktopId = 25,     // CSIDL_COMMON_DESKTOPDIRECTORY
    programFilesId = 38,      // CSIDL_PROGRAM_FILES
};

std::optional<std::string> FromShell(FolderId folderId) {
    try {
        DllLoader shell;
        shell.Load(true, "shell32.dll");
        if (!(SharedSystemInfo().InternetExplorerVersion() >= minimumShellVersion)) return std::nullopt;
        auto getFolder = shell.GetProc<decltype(&::SHGetSpecialFolderPathA)>("SHGetSpecialFolderPathA");
        char path[MAX_PATH + 1] = {};
        if (!getFolder(nullptr, path, folderId, TRUE)) return std::nullopt;
        return std::string(path);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// A missing key or value, or one that is not a string, gives no answer; an
// empty value is an answer.
std::optional<std::string> FromRegistry(HKEY root, const char* subkey, const char* valueName) {
    try {
        return RegKey(root, subkey).ReadString(valueName, true);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::string ProgramFilesFolder() {
    if (auto path = FromShell(programFilesId)) return *path;
    if (auto path = FromRegistry(HKEY_LOCAL_MACHINE, currentVersionKey, "ProgramFilesDir")) return *path;
    return "C:\\Program Files";
}

std::string DesktopFolder() {
    if (auto path = FromShell(desktopDirectoryId)) return *path;
    if (auto path = FromRegistry(HKEY_CURRENT_USER, shellFoldersKey, "Desktop")) return *path;
    if (auto path = FromRegistry(HKEY_CURRENT_USER, userShellFoldersKey, "Desktop")) return *path;
    return std::string();
}

std::string CommonDesktopFolder() {
    if (auto path = FromShell(commonDesktopId)) return *path;
    if (auto path = FromRegistry(HKEY_LOCAL_MACHINE, shellFoldersKey, "Common Desktop")) return *path;
    return DesktopFolder();
}

std::string ProgramsFolder() {
    if (auto path = FromShell(programsId)) return *path;
    if (auto path = FromRegistry(HKEY_CURRENT_USER, shellFoldersKey, "Programs")) return *path;
    if (auto path = FromRegistry(HKEY_CURRENT_USER, userShellFoldersKey, "Programs")) return *path;
    return std::string();
}

std::string CommonProgramsFolder() {
    if (auto path = FromShell(commonProgramsId)) return *path;
    if (auto path = FromRegistry(HKEY_LOCAL_MACHINE, shellFoldersKey, "Common Programs")) return *path;
    return ProgramsFolder();
}
