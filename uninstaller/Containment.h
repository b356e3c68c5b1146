// What an installation of this product can have created, and so all that
// its uninstallation list may name: files and folders inside the
// installation directory (and the folders above it that the installation
// made), the program-menu folder and the desktop link in the per-user and
// the common folders, the product's extension and ProgID keys under
// Software\Classes, and its own Uninstall key. A list that names anything
// else was not written by the installer and is refused whole.
#pragma once

#include "uninstaller/UninstallInfo.h"

#include <string>
#include <vector>

class Containment {
public:
    // Throws LoadError when the installation directory cannot be resolved.
    static Containment Of(const UninstallInfo& info);

    // Brings every path of the list into its full form (so that what is
    // checked is what is removed), then throws LoadError naming the first
    // entry outside the installation.
    void Check(std::vector<UninstallCommand>& commands) const;

    // True when a folder between the area that holds `path` and `path`
    // itself is a link (a junction or symbolic link): removing through it
    // would reach outside the installation.
    bool LiesBehindLink(const std::string& path) const;

private:
    bool IsProductFile(const std::string& path) const;
    bool IsProductDirectory(const std::string& path) const;
    bool IsProductKey(const RegistryPath& key) const;
    // The folder of the area `path` lies in; empty when none.
    std::string AreaOf(const std::string& path) const;

    std::string m_installDir;
    std::vector<std::string> m_menuFolders;   // per-user and common
    std::vector<std::string> m_desktopLinks;  // per-user and common
    RegistryPath m_uninstallKey;
};
