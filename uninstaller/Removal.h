// Carries out an uninstallation command list, in this order: files, registry
// keys, the association restorations, the search path, the uninstaller's own
// file when nothing failed so far, directories (deepest first, only when
// empty) and, when nothing failed, the product's Uninstall key. The key and
// the uninstaller live and die together: when anything keeps the key, the
// uninstaller's file is put back (or its deletion at reboot taken back), so
// that the user can run it again once the cause is gone.
#pragma once

#include "uninstaller/Containment.h"
#include "uninstaller/Report.h"
#include "uninstaller/SiblingProtection.h"
#include "uninstaller/UninstallInfo.h"

#include <map>
#include <string>

// Links (junctions, symbolic links, and what Wine shows for a symbolic link
// of its host) on the way to a path. Removing through a link reaches its
// target. Removing the link itself is what Windows does with a link that a
// deletion call names, but Wine's deletion calls act on the target whatever
// they are asked (a file link does not even show as one), so the uninstaller
// leaves every link alone and keeps what lies behind one.
class PathLinks {
public:
    enum Where { Nowhere, OnTheWay, Itself };

    // `path` is a plain full path (PlainFullPath). Every folder from the
    // root down is looked at, the drive's and the installation's included.
    Where Find(const std::string& path);

private:
    bool IsLink(const std::string& path) const;

    // Folder -> is a link, by upper-case path: a list names many entries
    // in the same few folders.
    std::map<std::string, bool> m_folders;
};

struct RemovalContext {
    const UninstallInfo& info;
    const SiblingProtection& sibling;
    const Containment& containment;
    PathLinks& links;
    Report& report;
    bool unattended;
};

// `uninstallerFile` is the file of the uninstaller the user started (empty
// when that is not a file of the list); it goes after everything else.
void RemoveInstallation(const RemovalContext& context, const std::string& uninstallerFile);

// True when a link is on the way to `path` or is `path` itself; the line
// that says so names the object as `what` + `path`.
bool KeptForLink(const RemovalContext& context, const std::string& path, const std::string& what = std::string());

// The parts, in their files.
void RemoveFiles(const RemovalContext& context, const std::string& exceptFile);
// True when the file is gone or goes at the next reboot.
bool RemoveUninstallerFile(const RemovalContext& context, const std::string& path);
// Undoes RemoveUninstallerFile: the running program's file copied back, or
// the deletion at reboot taken back.
void RestoreUninstallerFile(const RemovalContext& context, const std::string& path);
void RemoveRegistryKeys(const RemovalContext& context);
void RestoreFileAssociations(const RemovalContext& context);
void RemoveDirectories(const RemovalContext& context);
void RemoveUninstallKey(const RemovalContext& context);
