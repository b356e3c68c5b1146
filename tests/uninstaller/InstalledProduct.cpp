#include "InstalledProduct.h"

#include "support/ProcessRunner.h"

#include <stdexcept>

namespace uninstall_test {

std::string In(const std::string& directory, const std::string& name) {
    return directory + "\\" + name;
}

std::string UninstallKey(const std::string& keyName) {
    return std::string(kUninstallRoot) + "\\" + keyName;
}

std::string UninstallerPath() {
    return In(installDir, "uninst.exe");
}

std::string UninstallString() {
    return "\"" + UninstallerPath() + "\" Quillmore ";
}

InstalledProduct::InstalledProduct() {
    // The installation directory's step lists it first, then the parents
    // it created, deeper ones first; the component folders follow.
    MakeDirectory(appsDir);
    MakeDirectory(vendorDir);
    Directory(installDir);
    Directory(vendorDir);
    Directory(appsDir);
    Directory(In(installDir, "Ostrel-5.06"));
    Directory(In(installDir, "Ostrel-5.11"));
    File(In(installDir, "quillmore.exe"), true);
    File(In(installDir, "vantcfg.exe"));
    File(In(installDir, "pellcfg.exe"));
    File(In(In(installDir, "Ostrel-5.06"), "ostrel.dll"));
    File(In(In(installDir, "Ostrel-5.11"), "ostrel.dll"));
    m_commands.push_back({"-delFile=", UninstallerPath()});
    m_files.push_back(UninstallerPath());
    if (!CopyFileA(SiblingExecutable("uninst.exe").c_str(), UninstallerPath().c_str(), FALSE))
        throw std::runtime_error("cannot copy the uninstaller");
    Directory(menuDir);
    File(In(menuDir, "Quillmore.lnk"));
    File(In(menuDir, "Uninstall Quillmore.lnk"));
    Association(".qmp", profileProgId, {"Open", "Connect"});
    Association(".pmx", settingsProgId, {"Manage"});
    m_commands.push_back({"-rstFileAssoc=", std::string(".pmx:") + settingsProgId});
    Register();
}

void InstalledProduct::Directory(const std::string& path) {
    MakeDirectory(path);
    m_commands.push_back({"-delDir=", path});
    m_directories.push_back(path);
}

void InstalledProduct::File(const std::string& path, bool main) {
    WriteFileBytes(path, "content of " + path);
    m_commands.push_back({main ? "-delMainFile=" : "-delFile=", path});
    m_files.push_back(path);
}

void InstalledProduct::AddKey(const std::string& subkey) {
    m_commands.push_back({"-delRegKey=", "HKEY_LOCAL_MACHINE\\" + subkey});
    m_keys.push_back(subkey);
}

void InstalledProduct::Association(const std::string& extension, const std::string& progId,
                                   const std::vector<std::string>& verbs) {
    const std::string extensionKey = In(classesKey, extension), progIdKey = In(classesKey, progId);
    WriteString(HKEY_LOCAL_MACHINE, extensionKey, "", progId);
    AddKey(extensionKey);
    WriteString(HKEY_LOCAL_MACHINE, progIdKey, "", "description of " + progId);
    WriteString(HKEY_LOCAL_MACHINE, In(progIdKey, "DefaultIcon"), "", In(installDir, "quillmore.exe,1"));
    WriteString(HKEY_LOCAL_MACHINE, In(progIdKey, "Shell"), "", verbs.front());
    for (const std::string& verb : verbs) {
        const std::string verbKey = In(In(progIdKey, "Shell"), verb);
        WriteString(HKEY_LOCAL_MACHINE, verbKey, "", verb);
        WriteString(HKEY_LOCAL_MACHINE, In(verbKey, "command"), "",
                    "\"" + In(installDir, "quillmore.exe") + "\" \"%1\"");
        AddKey(In(verbKey, "command"));
        AddKey(verbKey);
    }
    AddKey(In(progIdKey, "Shell"));
    AddKey(progIdKey);
}

void InstalledProduct::Register() {
    const std::string key = UninstallKey();
    WriteString(HKEY_LOCAL_MACHINE, key, "DisplayName", "Vantrel Quillmore 4.33 (remove only)");
    WriteString(HKEY_LOCAL_MACHINE, key, "DisplayIcon", UninstallerPath());
    AddKey(key);
    WriteString(HKEY_LOCAL_MACHINE, key, "UninstallString", UninstallString());
    WriteString(HKEY_LOCAL_MACHINE, key, "UninstallParam", CommandList(m_commands));
    WriteString(HKEY_LOCAL_MACHINE, key, "InstallDir", installDir);
    WriteString(HKEY_LOCAL_MACHINE, key, "Version", "4.33");
}

void InstalledProduct::RegisterForeignAssociation(const std::string& extension, const std::string& progId) {
    WriteString(HKEY_LOCAL_MACHINE, In(classesKey, progId), "", "another program's document");
    WriteString(HKEY_LOCAL_MACHINE, In(In(In(In(classesKey, progId), "Shell"), "open"), "command"), "",
                "other.exe \"%1\"");
    WriteString(HKEY_LOCAL_MACHINE, In(classesKey, extension), "", progId);
}

}  // namespace uninstall_test
