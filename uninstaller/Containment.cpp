#include "uninstaller/Containment.h"

#include "foundation/DllLoader.h"
#include "foundation/FullPath.h"
#include "foundation/RegKey.h"
#include "foundation/SameText.h"
#include "foundation/Win.h"

#include <shlobj.h>

namespace {

// The names the installer gives what it creates outside the installation
// directory.
const char menuFolderName[] = "Vantrel Quillmore";
const char desktopLinkName[] = "Quillmore.lnk";
const char* const extensions[] = {".qmp", ".pmx"};
const char progIdPrefix[] = "Vantrel.Quillmore.";

const char shellFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct ShellFolder {
    int id;             // CSIDL_ value
    HKEY root;          // and the Shell Folders value of shells without the function
    const char* value;
};

const ShellFolder programsFolders[] = {{CSIDL_PROGRAMS, HKEY_CURRENT_USER, "Programs"},
                                       {CSIDL_COMMON_PROGRAMS, HKEY_LOCAL_MACHINE, "Common Programs"}};
const ShellFolder desktopFolders[] = {{CSIDL_DESKTOPDIRECTORY, HKEY_CURRENT_USER, "Desktop"},
                                      {CSIDL_COMMON_DESKTOPDIRECTORY, HKEY_LOCAL_MACHINE, "Common Desktop"}};

// Empty when the system names no such folder.
std::string FolderPath(const ShellFolder& folder) {
    // Bound at run time: shells before Internet Explorer 4 lack it.
    DllLoader shell;
    shell.Load(true, "shell32.dll", true);
    const auto getFolder = shell.GetProc<decltype(&::SHGetSpecialFolderPathA)>("SHGetSpecialFolderPathA", true);
    char path[MAX_PATH + 1] = {};
    std::string found;
    if (getFolder != nullptr && getFolder(nullptr, path, folder.id, FALSE)) found = path;
    if (found.empty()) {
        try {
            found = RegKey(folder.root, shellFoldersKey).ReadString(folder.value, true);
        } catch (const std::exception&) {
            // No such value either: the folder is unknown, nothing is in it.
        }
    }
    return found.empty() ? found : FullPath(found);
}

const char* Keyword(UninstallCommand::Kind kind) {
    switch (kind) {
    case UninstallCommand::ShareResWith: return "-shareResWith=";
    case UninstallCommand::DelDir: return "-delDir=";
    case UninstallCommand::DelFile: return "-delFile=";
    case UninstallCommand::DelMainFile: return "-delMainFile=";
    case UninstallCommand::DelRegKey: return "-delRegKey=";
    case UninstallCommand::RstFileAssoc: return "-rstFileAssoc=";
    }
    return "";
}

bool IsProductExtension(const std::string& name) {
    for (const char* extension : extensions)
        if (SameText(name, extension)) return true;
    return false;
}

bool IsProductProgId(const std::string& name) {
    const size_t prefix = sizeof progIdPrefix - 1;
    return name.size() > prefix && SameText(name.substr(0, prefix), progIdPrefix);
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

bool IsFileSystemCommand(UninstallCommand::Kind kind) {
    return kind == UninstallCommand::DelDir || kind == UninstallCommand::DelFile ||
           kind == UninstallCommand::DelMainFile;
}

// ".ext:ProgID" of the product's own.
bool IsProductAssociation(const std::string& argument) {
    const size_t colon = argument.find(':');
    return IsProductExtension(argument.substr(0, colon)) && IsProductProgId(argument.substr(colon + 1));
}

}  // namespace

Containment Containment::Of(const UninstallInfo& info) {
    Containment containment;
    containment.m_installDir = IsDevicePath(info.installDir) ? std::string() : FullPath(info.installDir);
    if (containment.m_installDir.empty())
        throw LoadError("unusable installation directory \"" + info.installDir + "\"");
    for (const ShellFolder& folder : programsFolders) {
        const std::string programs = FolderPath(folder);
        if (!programs.empty()) containment.m_menuFolders.push_back(programs + "\\" + menuFolderName);
    }
    for (const ShellFolder& folder : desktopFolders) {
        const std::string desktop = FolderPath(folder);
        if (!desktop.empty()) containment.m_desktopLinks.push_back(desktop + "\\" + desktopLinkName);
    }
    containment.m_uninstallKey = info.key;
    return containment;
}

void Containment::Check(std::vector<UninstallCommand>& commands) const {
    for (UninstallCommand& command : commands) {
        bool contained = true;
        if (IsFileSystemCommand(command.kind)) {
            // Names that skip the system's path rules, and other machines'
            // folders unless the installation is on one, are never ours.
            const bool unusable = IsDevicePath(command.argument) ||
                                  (IsUncPath(command.argument) && !IsUncPath(m_installDir));
            const std::string full = unusable ? std::string() : FullPath(command.argument);
            contained = !full.empty() && (command.kind == UninstallCommand::DelDir ? IsProductDirectory(full)
                                                                                  : IsProductFile(full));
            if (contained) command.argument = full;
        } else if (command.kind == UninstallCommand::DelRegKey) {
            contained = IsProductKey(RegistryPath::Parse(command.argument));
        } else if (command.kind == UninstallCommand::RstFileAssoc) {
            contained = IsProductAssociation(command.argument);
        }
        if (!contained)
            throw LoadError("\"" + std::string(Keyword(command.kind)) + command.argument +
                            "\" names something outside the installation");
    }
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
    return names.size() >= 3 && SameText(names[0], "Software") && SameText(names[1], "Classes") &&
           (IsProductExtension(names[2]) || IsProductProgId(names[2]));
}

std::string Containment::AreaOf(const std::string& path) const {
    if (IsBelow(path, m_installDir)) return m_installDir;
    for (const std::string& folder : m_menuFolders)
        if (IsBelow(path, folder)) return folder;
    return std::string();
}

bool Containment::LiesBehindLink(const std::string& path) const {
    const std::string area = AreaOf(path);
    for (std::string folder = ParentPath(path); !area.empty() && IsBelow(folder, area); folder = ParentPath(folder)) {
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
    }
    return false;
}
