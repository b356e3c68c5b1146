// Carries out an uninstallation command list, in this order: files, registry
// keys, the association restorations, the search path, directories (deepest
// first, only when empty) and, when nothing failed, the uninstaller's own
// file and the product's Uninstall key. Keeping those two after a failure
// lets the user run the uninstaller again once the cause is gone.
#pragma once

#include "uninstaller/Report.h"
#include "uninstaller/SiblingProtection.h"
#include "uninstaller/UninstallInfo.h"

#include <string>

struct RemovalContext {
    const UninstallInfo& info;
    const SiblingProtection& sibling;
    Report& report;
    bool unattended;
};

// `uninstallerFile` is the file of the uninstaller the user started (empty
// when that is not a file of the list); it goes after everything else.
void RemoveInstallation(const RemovalContext& context, const std::string& uninstallerFile);

// The parts, in their files.
void RemoveFiles(const RemovalContext& context, const std::string& exceptFile);
void RemoveUninstallerFile(const RemovalContext& context, const std::string& path);
void RemoveRegistryKeys(const RemovalContext& context);
void RestoreFileAssociations(const RemovalContext& context);
void RemoveDirectories(const RemovalContext& context);
void RemoveUninstallKey(const RemovalContext& context);
