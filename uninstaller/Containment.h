// What an installation of this product can have created, and so all that
// its uninstallation list may name: files and folders inside the
// installation directory (and the folders above it that the installation
// made), the program-menu folder and the desktop link in the per-user and
// the common folders, the product's extension and ProgID keys under
// Software\Classes by their exact names, and its own Uninstall key. A list
// that names anything else was not written by the installer and is refused
// whole, before anything changes; so is an installation directory that no
// installation can have.
#pragma once

#include "uninstaller/UninstallInfo.h"

#include <string>
#include <vector>

class Containment {
public:
    // Throws LoadError when the installation directory is not a plain full
    // path (PlainPath.h), holds environment variables, is a drive or share
    // root, or is one of the system's own folders or lies above one.
    static Containment Of(const UninstallInfo& info);

    // Brings every path of the list into its plain full form (so that what
    // is checked is what is removed), then throws LoadError naming the first
    // entry outside the installation or a sibling that is the product itself.
    void Check(std::vector<UninstallCommand>& commands) const;

    // The installation directory in its plain full form.
    const std::string& InstallDirectory() const { return m_installDir; }

    // The key below which the names of `key`, a key of a checked list, are
    // the product's: Software\Classes, or the parent of the Uninstall key.
    RegistryPath KeyArea(const RegistryPath& key) const;

private:
    bool IsProductFile(const std::string& path) const;
    bool IsProductDirectory(const std::string& path) const;
    bool IsProductKey(const RegistryPath& key) const;
    bool IsProductProgId(const std::string& name) const;
    bool IsProductAssociation(const std::string& argument) const;

    std::string m_installDir;
    std::vector<std::string> m_menuFolders;   // per-user and common
    std::vector<std::string> m_desktopLinks;  // per-user and common
    std::vector<std::string> m_progIds;       // of the installed version
    RegistryPath m_uninstallKey;
};
