#include "uninstaller/Removal.h"

#include "uninstaller/SearchPathCleanup.h"

void RemoveInstallation(const RemovalContext& context, const std::string& uninstallerFile) {
    RemoveFiles(context, uninstallerFile);
    RemoveRegistryKeys(context);
    RestoreFileAssociations(context);
    RemoveFromSearchPaths(context.info.installDir, context.report);
    if (!context.report.HasFailures() && !uninstallerFile.empty()) RemoveUninstallerFile(context, uninstallerFile);
    RemoveDirectories(context);
    if (!context.report.HasFailures()) RemoveUninstallKey(context);
}
