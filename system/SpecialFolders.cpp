#include "system/SpecialFolders.h"

#include "foundation/DllLoader.h"
#include "foundation/RegKey.h"
#include "foundation/Win.h"
#include "system/SystemInfo.h"

#include <shlobj.h>

namespace {

const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kShellFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kUserShellFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Earlier shells lack SHGetSpecialFolderPathA or answer it unreliably.
const VersionTriple kMinimumShellVersion{4, 71, 1712};

// Where shells without the function keep the folders they know.
struct RegistryName {
    int id;
    HKEY root;
    const char* key;
    const char* value;
    bool alsoUserShellFolders;
};
const RegistryName kRegistryNames[] = {
    {CSIDL_PROGRAM_FILES, HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", false},
    {CSIDL_DESKTOPDIRECTORY, HKEY_CURRENT_USER, kShellFoldersKey, "Desktop", true},
    {CSIDL_COMMON_DESKTOPDIRECTORY, HKEY_LOCAL_MACHINE, kShellFoldersKey, "Common Desktop", false},
    {CSIDL_PROGRAMS, HKEY_CURRENT_USER, kShellFoldersKey, "Programs", true},
    {CSIDL_COMMON_PROGRAMS, HKEY_LOCAL_MACHINE, kShellFoldersKey, "Common Programs", false},
};

std::optional<std::string> FromShell(int id, bool create) {
    try {
        // Bound at run time: shells before Internet Explorer 4 lack it.
        DllLoader shell;
        shell.Load(true, "shell32.dll");
        if (!(SharedSystemInfo().InternetExplorerVersion() >= kMinimumShellVersion)) return std::nullopt;
        auto getFolder = shell.GetProc<decltype(&::SHGetSpecialFolderPathA)>("SHGetSpecialFolderPathA");
        char path[MAX_PATH + 1] = {};
        if (!getFolder(nullptr, path, id, create ? TRUE : FALSE)) return std::nullopt;
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

std::optional<std::string> ShellFolder(int id, bool create) {
    if (auto path = FromShell(id, create)) return path;
    for (const RegistryName& name : kRegistryNames) {
        if (name.id != id) continue;
        if (auto path = FromRegistry(name.root, name.key, name.value)) return path;
        if (name.alsoUserShellFolders) return FromRegistry(name.root, kUserShellFoldersKey, name.value);
    }
    return std::nullopt;
}

// The installer lets the shell create the folders it puts its links into.
std::string ProgramFilesFolder() {
    return ShellFolder(CSIDL_PROGRAM_FILES, true).value_or("C:\\Program Files");
}

std::string DesktopFolder() {
    return ShellFolder(CSIDL_DESKTOPDIRECTORY, true).value_or(std::string());
}

std::string CommonDesktopFolder() {
    if (auto path = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY, true)) return *path;
    return DesktopFolder();
}

std::string ProgramsFolder() {
    return ShellFolder(CSIDL_PROGRAMS, true).value_or(std::string());
}

std::string CommonProgramsFolder() {
    if (auto path = ShellFolder(CSIDL_COMMON_PROGRAMS, true)) return *path;
    return ProgramsFolder();
}

HMODULE Shell32() {
    static DllLoader shell32;
    static const HMODULE module = shell32.Load(true, "shell32.dll", true);
    return module;
}

void NotifyAssociationsChanged() {
    if (auto notify = ShellFunction<decltype(&::SHChangeNotify)>("SHChangeNotify"))
        notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
