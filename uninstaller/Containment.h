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
    // path (PlainPath below), holds environment variables, is a drive or share
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

// The one spelling of a path that the uninstaller acts on. The system
// resolves a path more than once on its way to the file system, and some
// names resolve differently each time ("..." comes back from the first
// resolution as ".."; older systems drop a folder name's trailing dots), so
// what was checked is not what the deletion call would reach. Only a path
// that resolution leaves unchanged and that is made of plain names is used.
// The full form of `path` that resolving it again leaves as it is, when
// every name in `path` and in that form is plain: not only dots (except "."
// and ".." in `path`, which resolve away), not ending with a dot or a blank,
// no stream, device name, wildcard or control character, no empty name
// between separators. Empty otherwise.
std::string PlainFullPath(const std::string& path);

// `path` with its short (8.3) names expanded as far as its folders exist;
// the rest as given. Only a path with a '~' can hold a generated short name.
std::string LongPathOf(const std::string& path);

// The path that the system reaches through `path`, links followed and in
// long form; empty when the object does not exist or the system cannot say.
std::string ReachedPath(const std::string& path);
