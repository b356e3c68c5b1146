#include "uninstaller/Containment.h"

#include "contract/UninstallContract.h"
#include "foundation/DllLoader.h"
#include "foundation/Handle.h"
#include "foundation/Path.h"
#include "foundation/Text.h"
#include "foundation/Win.h"
#include "system/SpecialFolders.h"

#include <shlobj.h>

#include <cstring>
#include <vector>

namespace {

// The ProgIDs carry the installed version.
const char* const extensions[] = {kProfileExtension, kSettingsExtension};
const char* const progIdSuffixes[] = {kProfileProgIdSuffix, kSettingsProgIdSuffix};

const int programsFolders[] = {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS};
const int desktopFolders[] = {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY};

// Folders that hold other programs' and the users' files: an installation
// directory that is one of them, or above one, was never the installer's.
const int systemFolderIds[] = {CSIDL_WINDOWS,          CSIDL_SYSTEM,           CSIDL_SYSTEMX86,
                               CSIDL_PROGRAM_FILES,    CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
                               CSIDL_PROGRAMS,         CSIDL_COMMON_PROGRAMS,  CSIDL_STARTMENU,
                               CSIDL_COMMON_STARTMENU, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY,
                               CSIDL_PROFILE,          CSIDL_APPDATA,          CSIDL_LOCAL_APPDATA,
                               CSIDL_COMMON_APPDATA,   CSIDL_PERSONAL};

// Empty when the system names no such folder: nothing is in it then.
std::string FolderPath(int id) {
    const std::string found = ShellFolder(id).value_or(std::string());
    return found.empty() ? found : FullPath(found);
}

std::vector<std::string> SystemFolders() {
    std::vector<std::string> folders;
    char path[MAX_PATH + 1];
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    if (length > 0 && length < sizeof path) folders.push_back(FullPath(path));
    length = GetSystemDirectoryA(path, sizeof path);
    if (length > 0 && length < sizeof path) folders.push_back(FullPath(path));
    for (int id : systemFolderIds) {
        const std::string folder = FolderPath(id);
        if (!folder.empty()) folders.push_back(folder);
    }
    return folders;
}

bool HoldsVariable(const std::string& text) {
    const size_t first = text.find('%');
    return first != std::string::npos && text.find('%', first + 1) != std::string::npos;
}

bool IsRoot(const std::string& full) {
    if (IsUncPath(full)) return full.find('\\', full.find('\\', 2) + 1) == std::string::npos;
    return full.size() <= 3;
}

// The plain full form of an installation directory that can be one.
std::string InstallationDirectory(const std::string& text) {
    const std::string unusable = "unusable installation directory \"" + text + "\": ";
    if (HoldsVariable(text)) throw LoadError(unusable + "it holds environment variables");
    const std::string full = PlainFullPath(text);
    if (full.empty()) throw LoadError(unusable + "it is no plain full path");
    if (IsRoot(full)) throw LoadError(unusable + "it is a root");
    for (const std::string& folder : SystemFolders())
        if (IsSameOrBelow(folder, full)) throw LoadError(unusable + "it is or holds the system's folder " + folder);
    return full;
}

// Digits and dots: the version becomes part of key names.
bool IsVersion(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
}

bool IsProductExtension(const std::string& name) {
    for (const char* extension : extensions)
        if (SameText(name, extension)) return true;
    return false;
}

std::vector<std::string> Components(const std::string& subkey) {
    std::vector<std::string> components;
    size_t start = 0;
    while (true) {
        const size_t slash = subkey.find('\\', start);
        components.push_back(subkey.substr(start, slash == std::string::npos ? slash : slash - start));
        if (slash == std::string::npos) return components;
        start = slash + 1;
    }
}

bool IsFileSystemCommand(CommandKeyword kind) {
    return kind == CommandKeyword::DelDir || kind == CommandKeyword::DelFile || kind == CommandKeyword::DelMainFile;
}

}  // namespace

Containment Containment::Of(const UninstallInfo& info) {
    Containment containment;
    containment.m_installDir = InstallationDirectory(info.installDir);
    for (int folder : programsFolders) {
        const std::string programs = FolderPath(folder);
        if (!programs.empty()) containment.m_menuFolders.push_back(programs + "\\" + kProductFullName);
    }
    for (int folder : desktopFolders) {
        const std::string desktop = FolderPath(folder);
        if (!desktop.empty()) containment.m_desktopLinks.push_back(desktop + "\\" + kMainShortcutName);
    }
    if (IsVersion(info.version))
        for (const char* suffix : progIdSuffixes)
            containment.m_progIds.push_back(kProgIdPrefix + info.version + suffix);
    containment.m_uninstallKey = info.key;
    return containment;
}

void Containment::Check(std::vector<UninstallCommand>& commands) const {
    for (UninstallCommand& command : commands) {
        bool contained = true;
        if (IsFileSystemCommand(command.kind)) {
            // Other machines' folders are never ours unless the installation
            // is on one; a file named in a folder's form is no file.
            const bool directory = command.kind == CommandKeyword::DelDir;
            const bool otherMachine = IsUncPath(command.argument) && !IsUncPath(m_installDir);
            const bool folderForm = !directory && (command.argument.back() == '\\' || command.argument.back() == '/');
            const std::string full = otherMachine || folderForm ? std::string() : PlainFullPath(command.argument);
            contained = !full.empty() && (directory ? IsProductDirectory(full) : IsProductFile(full));
            if (contained) command.argument = full;
        } else if (command.kind == CommandKeyword::DelRegKey) {
            contained = IsProductKey(RegistryPath::Parse(command.argument));
        } else if (command.kind == CommandKeyword::RstFileAssoc) {
            contained = IsProductAssociation(command.argument);
        } else if (SameText(command.argument, m_uninstallKey.LastName())) {
            // Sharing with itself would keep every file and still remove the
            // entry that could remove them.
            throw LoadError("\"" + std::string(KeywordText(command.kind)) + command.argument +
                            "\" names the product itself");
        }
        if (!contained)
            throw LoadError("\"" + std::string(KeywordText(command.kind)) + command.argument +
                            "\" names something outside the installation");
    }
}

RegistryPath Containment::KeyArea(const RegistryPath& key) const {
    if (key.SameKey(m_uninstallKey)) return m_uninstallKey.Parent();
    const std::vector<std::string> names = Components(key.Subkey());
    return RegistryPath::Parse(key.Text().substr(0, key.Text().find('\\')) + "\\" + names[0] + "\\" + names[1]);
}

bool Containment::IsProductFile(const std::string& path) const {
    if (IsBelow(path, m_installDir)) return true;
    for (const std::string& folder : m_menuFolders)
        if (IsBelow(path, folder)) return true;
    for (const std::string& link : m_desktopLinks)
        if (SameText(path, link)) return true;
    return false;
}

bool Containment::IsProductDirectory(const std::string& path) const {
    // The folders above the installation directory that the installation
    // made go too, each only when empty.
    if (IsSameOrBelow(path, m_installDir) || IsBelow(m_installDir, path)) return true;
    for (const std::string& folder : m_menuFolders)
        if (IsSameOrBelow(path, folder)) return true;
    return false;
}

bool Containment::IsProductKey(const RegistryPath& key) const {
    if (!key.IsValid()) return false;
    if (key.SameKey(m_uninstallKey)) return true;
    if (key.Root() != HKEY_LOCAL_MACHINE && key.Root() != HKEY_CURRENT_USER) return false;
    const std::vector<std::string> names = Components(key.Subkey());
    for (const std::string& name : names)
        if (name.empty()) return false;
    // An extension key alone (what is below it may be another program's);
    // a ProgID of the product's with everything below it.
    return names.size() >= 3 && SameText(names[0], "Software") && SameText(names[1], "Classes") &&
           ((IsProductExtension(names[2]) && names.size() == 3) || IsProductProgId(names[2]));
}

bool Containment::IsProductProgId(const std::string& name) const {
    for (const std::string& progId : m_progIds)
        if (SameText(name, progId)) return true;
    return false;
}

// ".ext:ProgID" of the product's own.
bool Containment::IsProductAssociation(const std::string& argument) const {
    const size_t colon = argument.find(':');
    return IsProductExtension(argument.substr(0, colon)) && IsProductProgId(argument.substr(colon + 1));
}

namespace {

// A path that still changes after this many resolutions is no path to use.
const int resolutionRounds = 8;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Names that open a device in any folder, with or without an extension.
bool IsDeviceName(const std::string& name) {
    std::string base = UpperCase(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : devices)
        if (base == device) return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '0' &&
           base[3] <= '9';
}

bool IsPlainName(const std::string& name, bool dotsResolve) {
    if (dotsResolve && (name == "." || name == "..")) return true;
    if (name.empty() || name.find_first_not_of('.') == std::string::npos) return false;
    if (name.back() == '.' || name.back() == ' ') return false;
    if (name.find_first_of(":*?\"<>|") != std::string::npos) return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    return !IsDeviceName(name);
}

// The names after "X:\" or "\\" (a server and share are names too); a
// separator at the end stands for nothing.
bool HasPlainNames(const std::string& path, bool dotsResolve) {
    const bool drive = path.size() >= 3 && IsCharAlphaA(path[0]) && path[1] == ':' && IsSeparator(path[2]);
    const bool unc = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]);
    if (!drive && !unc) return false;
    std::string name;
    for (size_t at = drive ? 3 : 2; at <= path.size(); ++at) {
        if (at == path.size() || IsSeparator(path[at])) {
            if (!IsPlainName(name, dotsResolve) && !(at == path.size() && name.empty())) return false;
            name.clear();
        } else {
            // A trail byte of the ANSI code page may look like a backslash.
            if (IsDBCSLeadByte(static_cast<BYTE>(path[at])) && at + 1 < path.size()) name += path[at++];
            name += path[at];
        }
    }
    return true;
}

}  // namespace

std::string PlainFullPath(const std::string& path) {
    if (IsDevicePath(path) || !HasPlainNames(path, true)) return std::string();
    std::string full = path;
    for (int round = 0; round < resolutionRounds; ++round) {
        const std::string next = FullPath(full);
        if (next.empty()) return std::string();
        if (next == full) return HasPlainNames(full, false) ? full : std::string();
        full = next;
    }
    return std::string();
}

std::string LongPathOf(const std::string& path) {
    // Generated short names carry a '~'; without one there is nothing to
    // expand, and the lookup (a folder search per name) is not paid.
    if (path.find('~') == std::string::npos) return path;
    static const auto getLongPath = KernelFunction<decltype(&::GetLongPathNameA)>("GetLongPathNameA");
    if (getLongPath != nullptr) {
        std::vector<char> buffer(MAX_PATH + 1);
        DWORD length = getLongPath(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length >= buffer.size()) {
            buffer.resize(length + 1);
            length = getLongPath(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        }
        if (length > 0 && length < buffer.size()) return std::string(buffer.data(), length);
    }
    // Not there (yet or any more): the folders above may still be.
    const std::string parent = ParentPath(path);
    if (parent.empty() || getLongPath == nullptr) return path;
    const size_t name = parent.back() == '\\' ? parent.size() : parent.size() + 1;
    return JoinPath(LongPathOf(parent), path.substr(name));
}

std::string ReachedPath(const std::string& path) {
    static const auto finalPath = KernelFunction<decltype(&::GetFinalPathNameByHandleA)>("GetFinalPathNameByHandleA");
    if (finalPath == nullptr) return std::string();
    // No access asked: nothing is read, and no sharing mode is in the way.
    const UniqueFile file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return std::string();
    std::vector<char> buffer(MAX_PATH + 1);
    DWORD length = finalPath(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = finalPath(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    }
    if (length == 0 || length >= buffer.size()) return std::string();
    std::string reached(buffer.data(), length);
    if (reached.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\" + reached.substr(7);
    if (reached.compare(0, 4, "\\\\?\\") == 0) return reached.substr(4);
    return reached;
}
